#pragma once

#include <array>
#include <cstdint>

#include "core/scene/branch_params.h"

namespace ramifex
{

// Four doubles that hold either a quaternion (w, x, y, z) or an angle-axis pair (degrees, axis x,
// y, z), depending on which operation wrote them last. The angle-axis form has the layout of the
// first four fields of a BranchParams.
class Quaternion
{
public:
    Quaternion() = default;

    void Set(double w, double x, double y, double z) { slots_ = {w, x, y, z}; }
    const std::array<double, 4>& Slots() const { return slots_; }

    // this = other ⊗ this (Hamilton product; the right operand acts first).
    void PreMultiply(const Quaternion& other);

    // Angle-axis form to quaternion form; the axis is used as it stands.
    void FromAngleAxis();

    // Quaternion form to angle-axis form, angle in [0, 360]. A quaternion whose half-angle sine is
    // zero or not a number yields angle 0 and axis (0, 0, 0).
    void ToAngleAxis();

    double Norm() const;

    // Divides by the norm; a zero quaternion becomes four not-a-number slots.
    void Normalise();

private:
    std::array<double, 4> slots_{1.0, 0.0, 0.0, 0.0};
};

// Turns the record's angle and axis by a mouse drag of (dx, dy) pixels, one degree per pixel about
// the screen-plane axis at right angles to the drag. The drag is applied after the record's own
// rotation; the stored angle ends in (-180, 180]. Fields other than angle and axis are untouched.
// Requires (dx, dy) != (0, 0). Fractions of a pixel turn as far as their share of a degree.
void RotateByDrag(double dx, double dy, BranchParams& record);

}  // namespace ramifex
