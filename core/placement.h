#pragma once
// Where a form first appears. Portable, so the choice of area is tested without a screen.

#include <optional>

namespace zorvo {

/// CentreScreen: centred in the work area, clear of the taskbar; CentreMonitor: centred on the
/// monitor itself, as a warning that belongs to the whole screen; CentreOwner: on its owner.
enum class StartPosition { CentreScreen, CentreMonitor, CentreOwner };

struct Box {
    long left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Box&) const = default;
};

struct Origin {
    long x = 0, y = 0;
    bool operator==(const Origin&) const = default;
};

/// The top-left corner of a window `width` × `height`: centred as `position` says, and kept
/// inside the area it is centred in (the work area for a window centred on its owner).
/// `owner`: the owner's rectangle when it has a visible one.
Origin startOrigin(StartPosition position, const Box& monitor, const Box& work,
                   const std::optional<Box>& owner, long width, long height);

} // namespace zorvo
