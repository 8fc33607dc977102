#include <gtest/gtest.h>

#include "core/dpi_math.h"

namespace zorvo {
namespace {

TEST(DpiMath, TwipsBecomePixelsAtTheWindowsDpi) {
    EXPECT_EQ(twipsToPixels(15, 96), 1);
    EXPECT_EQ(twipsToPixels(5805, 96), 387);
    EXPECT_EQ(twipsToPixels(5805, 144), 581); // 580.5 rounds away from zero, as MulDiv does
    EXPECT_EQ(twipsToPixels(3840, 144), 384);
    EXPECT_EQ(twipsToPixels(4155, 120), 346); // 346.25
    EXPECT_EQ(twipsToPixels(0, 192), 0);
    EXPECT_EQ(twipsToPixels(10 * 1440, 96), 960) << "ten inches";
    EXPECT_EQ(twipsToPixels(10 * 1440, 192), 1920);
}

TEST(DpiMath, MulDivRoundsHalvesAwayFromZeroWhateverTheSigns) {
    EXPECT_EQ(mulDiv(3, 1, 2), 2);
    EXPECT_EQ(mulDiv(-3, 1, 2), -2);
    EXPECT_EQ(mulDiv(3, 1, -2), -2);
    EXPECT_EQ(mulDiv(-3, -1, 2), 2);
    EXPECT_EQ(mulDiv(1, 1, 3), 0);
    EXPECT_EQ(mulDiv(5, 1, 0), -1) << "a zero denominator gives -1, as MulDiv does";
    // No overflow in the intermediate product.
    EXPECT_EQ(mulDiv(2'000'000'000, 144, 1440), 200'000'000);
}

TEST(DpiMath, FontHeightsFollowTheDpiWithoutLosingQuarterPoints) {
    EXPECT_EQ(fontHeightForDpi(9.75, 96), -13);
    EXPECT_EQ(fontHeightForDpi(9.75, 144), -20); // 19.5
    EXPECT_EQ(fontHeightForDpi(8.25, 96), -11);
    EXPECT_EQ(fontHeightForDpi(8.25, 120), -14); // 13.75
    EXPECT_EQ(fontHeightForDpi(9, 96), -12);
    EXPECT_EQ(fontHeightForDpi(13.5, 96), -18);
    EXPECT_EQ(fontHeightForDpi(13.5, 192), -36);
    EXPECT_EQ(fontHeightForDpi(72, 96), -96) << "a 72-point font is an inch high";
    EXPECT_EQ(fontHeightForDpi(72.25, 96), -96) << "96.33 pixels";
}

TEST(DpiMath, SecondAlignedWaitEndsJustAfterTheNextSecond) {
    EXPECT_EQ(msToNextSecond(0), 1002);
    EXPECT_EQ(msToNextSecond(998), 4);
    EXPECT_EQ(msToNextSecond(999), 3);
    EXPECT_GE(msToNextSecond(1005), 1) << "a late clock reading never gives a zero wait";
}

} // namespace
} // namespace zorvo
