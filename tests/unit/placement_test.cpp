#include <gtest/gtest.h>

#include "core/placement.h"

namespace zorvo {
namespace {

// A 1920 × 1080 monitor with a 40-pixel taskbar at the bottom.
const Box kMonitor{0, 0, 1920, 1080};
const Box kWork{0, 0, 1920, 1040};

// The popup is centred on the whole monitor (on a second one to the left of the primary too),
// a dialog on its owner but within the work area, as a window without an owner is.
TEST(Placement, ThePopupOnTheMonitorADialogOnItsOwnerInTheWorkArea) {
    const Box left{-1280, 0, 0, 1024};
    EXPECT_EQ(startOrigin(StartPosition::CentreMonitor, kMonitor, kWork, {}, 277, 206),
              (Origin{821, 437}));
    EXPECT_EQ(startOrigin(StartPosition::CentreMonitor, left, left, {}, 280, 200),
              (Origin{-780, 412}));
    const Box owner{100, 100, 493, 400};
    EXPECT_EQ(startOrigin(StartPosition::CentreOwner, kMonitor, kWork, owner, 235, 232),
              (Origin{179, 134}));
    const Box nearCorner{1800, 980, 2193, 1280};
    EXPECT_EQ(startOrigin(StartPosition::CentreOwner, kMonitor, kWork, nearCorner, 235, 232),
              (Origin{1685, 808}));
    EXPECT_EQ(startOrigin(StartPosition::CentreOwner, kMonitor, kWork, {}, 235, 232),
              (Origin{842, 404}))
        << "without a visible owner: the work area";
    const Box tiny{0, 0, 200, 100}; // larger than its area: its top-left stays on screen
    EXPECT_EQ(startOrigin(StartPosition::CentreScreen, tiny, tiny, {}, 393, 300), (Origin{0, 0}));
}

} // namespace
} // namespace zorvo
