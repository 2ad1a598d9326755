// Where held balls ride along the paddle: a new one takes the free place nearest where it landed,
// and a row of them is pushed apart within the paddle, or spread evenly when it is too short.
#include <gtest/gtest.h>

#include <vector>

#include "rules/HeldBalls.h"

namespace {

using held::freePlace;
using held::spreadApart;

TEST(HeldBallsTest, ANewBallTakesTheFreePlaceNearestWhereItLanded) {
    // Nothing held: where it landed, within the span.
    EXPECT_FLOAT_EQ(30.0f, freePlace(30.0f, {}, 8.0f, 104.0f, 18.0f));
    EXPECT_FLOAT_EQ(8.0f, freePlace(-5.0f, {}, 8.0f, 104.0f, 18.0f));
    // On a held ball's spot: beside it, on the nearer side.
    EXPECT_FLOAT_EQ(68.0f, freePlace(52.0f, {50.0f}, 8.0f, 104.0f, 18.0f));
    EXPECT_FLOAT_EQ(32.0f, freePlace(48.0f, {50.0f}, 8.0f, 104.0f, 18.0f));
    // Against the end, the only side with room; between two, the gap that fits.
    EXPECT_FLOAT_EQ(26.0f, freePlace(8.0f, {8.0f}, 8.0f, 104.0f, 18.0f));
    EXPECT_FLOAT_EQ(44.0f, freePlace(40.0f, {26.0f, 62.0f}, 8.0f, 104.0f, 18.0f));
    // A place far enough from every neighbour stays as it is.
    EXPECT_FLOAT_EQ(90.0f, freePlace(90.0f, {26.0f, 62.0f}, 8.0f, 104.0f, 18.0f));
    // No free place: the roomiest, not on top of another ball.
    const float crowded = freePlace(50.0f, {8.0f, 30.0f, 56.0f, 80.0f, 104.0f}, 8.0f, 104.0f, 18.0f);
    EXPECT_GE(crowded, 43.0f - 0.01f);
    EXPECT_LE(crowded, 43.0f + 0.01f);
    // A span shorter than one ball: its middle.
    EXPECT_FLOAT_EQ(5.0f, freePlace(0.0f, {}, 8.0f, 2.0f, 18.0f));
}

TEST(HeldBallsTest, ARowIsPushedApartWithinTheSpanOrSpreadEvenlyWhenItIsTooShort) {
    std::vector<float> places{50.0f, 50.0f, 51.0f};
    spreadApart(places, 8.0f, 104.0f, 18.0f);
    EXPECT_FLOAT_EQ(50.0f, places[0]) << "the first stays, the others make way";
    EXPECT_FLOAT_EQ(68.0f, places[1]);
    EXPECT_FLOAT_EQ(86.0f, places[2]);

    // Pushed past the end, the row comes back from it.
    places = {90.0f, 100.0f, 104.0f};
    spreadApart(places, 8.0f, 104.0f, 18.0f);
    EXPECT_FLOAT_EQ(68.0f, places[0]);
    EXPECT_FLOAT_EQ(86.0f, places[1]);
    EXPECT_FLOAT_EQ(104.0f, places[2]);

    // Already apart: nothing moves.
    places = {10.0f, 40.0f, 90.0f};
    spreadApart(places, 8.0f, 104.0f, 18.0f);
    EXPECT_EQ((std::vector<float>{10.0f, 40.0f, 90.0f}), places);

    // Eight balls on a paddle room for six: evenly from end to end.
    places.assign(8, 50.0f);
    spreadApart(places, 8.0f, 106.0f, 18.0f);
    EXPECT_FLOAT_EQ(8.0f, places.front());
    EXPECT_FLOAT_EQ(106.0f, places.back());
    EXPECT_FLOAT_EQ(22.0f, places[1]);

    places = {200.0f};
    spreadApart(places, 8.0f, 104.0f, 18.0f);
    EXPECT_FLOAT_EQ(104.0f, places[0]);
}

} // namespace
