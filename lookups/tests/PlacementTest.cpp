// Where a lookup opens beside the window it serves.
#include "lookups/core/Placement.h"

#include <gtest/gtest.h>

using namespace qtmv::lookups;

namespace {
const Box screen{0, 0, 1280, 1024};
}

// A lookup opens right-aligned under the reference's top; centred when its
// left edge would not be positive; always on the screen vertically.
TEST(Placement, RightAlignedUnderTheReferenceTopCentredWithoutRoomAndOnTheScreen)
{
    // 200 twips left of the right edge, 1300 below the top, at 15 twips a pixel.
    const Box at = PlaceLookup(Box{100, 50, 900, 700}, 600, 400, screen);
    EXPECT_EQ(at.left, 100 + 900 - 600 - 13);
    EXPECT_EQ(at.top, 50 + 87);

    // Centred when the left edge would not be positive, or without a reference.
    EXPECT_EQ(PlaceLookup(Box{0, 50, 613, 700}, 600, 400, screen).left, (1280 - 600) / 2);   // exactly 0
    const Box alone = PlaceLookup(std::nullopt, 600, 400, screen);
    EXPECT_EQ(alone.left, 340);
    EXPECT_EQ(alone.top, 312);

    // A reference low on the screen: the lookup moves up until its bottom shows.
    EXPECT_EQ(PlaceLookup(Box{100, 800, 900, 200}, 600, 400, screen).top, 1024 - 400);
    // Higher than the screen: its top stays visible.
    EXPECT_EQ(PlaceLookup(Box{100, -300, 900, 200}, 600, 400, screen).top, 0);
    EXPECT_EQ(PlaceLookup(Box{100, 800, 900, 200}, 600, 1100, Box{0, 30, 1280, 994}).top, 30);
}
