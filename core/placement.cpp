#include "core/placement.h"

namespace zorvo {
namespace {

/// The start of `length` centred between `from` and `to`, kept within `low`..`high`.
long centre(long from, long to, long length, long low, long high) {
    long start = from + (to - from - length) / 2;
    if (start + length > high) {
        start = high - length;
    }
    return start < low ? low : start;
}

} // namespace

Origin startOrigin(StartPosition position, const Box& monitor, const Box& work,
                   const std::optional<Box>& owner, long width, long height) {
    const Box area = position == StartPosition::CentreMonitor ? monitor : work;
    const Box around = position == StartPosition::CentreOwner && owner ? *owner : area;
    return {centre(around.left, around.right, width, area.left, area.right),
            centre(around.top, around.bottom, height, area.top, area.bottom)};
}

} // namespace zorvo
