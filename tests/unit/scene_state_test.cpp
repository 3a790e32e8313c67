#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "core/scene/scene_state.h"

namespace ramifex
{
namespace
{

TEST(RandomGenerator, FollowsTheLinearCongruentialSequence)
{
    RandomGenerator rng;
    rng.Seed(1);
    // state = state * 214013 + 2531011, yielding bits 16..30.
    EXPECT_EQ(rng.Draw(), 41);
    EXPECT_EQ(rng.Draw(), 18467);
    EXPECT_EQ(rng.Draw(), 6334);
    EXPECT_EQ(rng.Draw(), 26500);
}

TEST(RandomGenerator, WrapsModulo32Bits)
{
    RandomGenerator rng;
    rng.Seed(0xFFFFFFFFu);
    // (2^32 - 1) * 214013 + 2531011 mod 2^32 = 2316998
    EXPECT_EQ(rng.Draw(), (2316998u >> 16) & 0x7FFF);
}

// Seeds whose first draw is the largest, 32767, and the smallest, 0.
TEST(RandomGenerator, UniformSpansZeroToOneExactly)
{
    RandomGenerator rng;
    rng.Seed(0xF01BF641u);
    EXPECT_EQ(rng.Uniform(), 1.0);
    rng.Seed(0xA170F641u);
    EXPECT_EQ(rng.Uniform(), 0.0);
}

// Replays the generator by hand to check which draw lands in which field.
TEST(RandomizeRecords, ConsumesThirtyDrawsInFieldOrder)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(12345);
    RandomizeRecords(scene, rng);

    RandomGenerator replay;
    replay.Seed(12345);
    for (const BranchParams& record : scene.Records)
    {
        EXPECT_EQ(record.Angle, replay.Uniform() * 180.0);
        for (double component : record.Axis)
        {
            EXPECT_EQ(component, 2.0 * replay.Uniform() - 1.0);
        }
        EXPECT_EQ(record.Scale, replay.Uniform());
        EXPECT_EQ(record.Offset, (2.0 * replay.Uniform() - 1.0) * 10.0);
        for (double channel : record.Colour)
        {
            EXPECT_EQ(channel, replay.Uniform());
        }
        EXPECT_EQ(record.Ratio, replay.Uniform());
    }
    // The generator has moved on by exactly thirty draws.
    EXPECT_EQ(rng.Draw(), replay.Draw());
}

TEST(RandomizeRecords, SecondPressGivesOtherRecords)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(7);
    RandomizeRecords(scene, rng);
    const auto first = scene.Records;
    RandomizeRecords(scene, rng);
    EXPECT_NE(first[0].Angle, scene.Records[0].Angle);
    EXPECT_NE(first[2].Ratio, scene.Records[2].Ratio);
}

TEST(NormaliseAxis, HandlesZeroScaledAndNotANumberAxes)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        Vec3 in;
        Vec3 out;
    };
    const Case cases[] = {
        {{0, 0, 0}, {1, 0, 0}},   {{0, 3, 4}, {0, 0.6, 0.8}}, {{0, 0, 2}, {0, 0, 1}},
        {{nan, 0, 0}, {1, 0, 0}}, {{0, 1, nan}, {1, 0, 0}},   {{-2, 0, 0}, {-1, 0, 0}},
        {{0, inf, 0}, {1, 0, 0}}, {{-inf, 1, 0}, {1, 0, 0}},
    };
    for (const Case& c : cases)
    {
        Vec3 axis = c.in;
        NormaliseAxis(axis);
        EXPECT_EQ(axis, c.out) << c.in[0] << ", " << c.in[1] << ", " << c.in[2];
    }
}

// Squares that underflow to zero or below the normal range, or overflow, must not change where the
// axis points.
TEST(NormaliseAxis, TinyAndHugeAxesPointAsTheirOrdinaryCounterparts)
{
    const std::pair<Vec3, Vec3> cases[] = {
        {{0, 1e-170, 0}, {0, 1, 0}},
        {{0, 1e170, 0}, {0, 1, 0}},
        {{0, std::ldexp(-3.0, -520), std::ldexp(4.0, -520)}, {0, -3, 4}},  // subnormal square
        {{1e-170, 0, 1e-170}, {1, 0, 1}},
        {{2e200, 0, -2e200}, {1, 0, -1}},
        {{0, 0, std::numeric_limits<double>::denorm_min()}, {0, 0, 1}},
        {{0, 1e-300, 1e300}, {0, 0, 1}},
    };
    for (const auto& [in, ordinary] : cases)
    {
        Vec3 axis = in;
        Vec3 expected = ordinary;
        NormaliseAxis(axis);
        NormaliseAxis(expected);
        EXPECT_EQ(axis, expected) << in[0] << ", " << in[1] << ", " << in[2];
    }
}

TEST(NormaliseAxis, LeavesAnExactUnitAxisBitForBit)
{
    // 0.6^2 + 0.8^2 is not exactly 1 in doubles, so this axis is rescaled...
    Vec3 nearlyUnit{0.0, 0.6, 0.8};
    const double sum = (0.6 * 0.6 + 0.8 * 0.8) + 0.0;
    NormaliseAxis(nearlyUnit);
    if (sum != 1.0)
    {
        EXPECT_EQ(nearlyUnit[1], 0.6 / std::sqrt(sum));
    }
    // ...whereas an axis whose squared length is exactly 1 is not touched, even when dividing by
    // sqrt(1) would have changed nothing anyway; signed zeros must survive too.
    Vec3 unit{-0.0, 0.0, 1.0};
    NormaliseAxis(unit);
    EXPECT_TRUE(std::signbit(unit[0]));
    EXPECT_EQ(unit[2], 1.0);
}

}  // namespace
}  // namespace ramifex
