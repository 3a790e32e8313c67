#pragma once

#include <array>

namespace ramifex
{

using Vec3 = std::array<double, 3>;

// One transform record: a child is pushed along its own z axis by Offset, scaled by Scale, then
// turned by Angle degrees about Axis. Colour and Ratio drive the colour blend down the tree.
struct BranchParams
{
    double Angle = 0.0;
    Vec3 Axis{};
    double Scale = 0.0;
    double Offset = 0.0;
    Vec3 Colour{};
    double Ratio = 0.0;

    bool operator==(const BranchParams&) const = default;
};

}  // namespace ramifex
