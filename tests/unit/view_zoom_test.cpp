#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "core/editor/view_zoom.h"

namespace ramifex
{
namespace
{

// Depths of the root sphere's centre (the view offset's -z) before and after a zoom.
TEST(ViewZoom, TenPercentANotchWithinTheNearAndFarPlanes)
{
    // Kept whole between the near plane at 1 and the far plane at 1000; from out of range (after
    // a drag, or behind the eye) only ever towards it.
    const std::array<double, 3> cases[] = {
        {10, 1, 9},
        {10, -1, 10 / ZoomRatio},
        {10, 0.5, 10 * std::sqrt(ZoomRatio)},
        {10, 0, 10},
        {2.1, 1, 2},
        {2, 1, 2},
        {998, -1, 999},
        {1500, -1, 1500},
        {1500, 1, 999},
        {1.5, 1, 1.5},
        {-3, 1, -3},
        {-3, -1, 2},
    };
    for (const auto& [depth, notches, expected] : cases)
    {
        EXPECT_EQ(ZoomedViewOffset({0.5, -2, -depth}, notches), (Vec3{0.5, -2, -expected}))
            << depth << " by " << notches;
    }
}

}  // namespace
}  // namespace ramifex
