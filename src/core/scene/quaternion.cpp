#include "core/scene/quaternion.h"

#include <cmath>

namespace ramifex
{
namespace
{
constexpr double DegreesToHalfRadians = 0.008726646259971648;
constexpr double HalfRadiansToDegrees = 114.59155902616465;
}  // namespace

void Quaternion::PreMultiply(const Quaternion& other)
{
    const auto [aw, ax, ay, az] = slots_;
    const auto [bw, bx, by, bz] = other.slots_;
    slots_ = {
        bw * aw - bx * ax - by * ay - bz * az,
        bw * ax + bx * aw + by * az - bz * ay,
        bw * ay - bx * az + by * aw + bz * ax,
        bw * az + bx * ay - by * ax + bz * aw,
    };
}

void Quaternion::FromAngleAxis()
{
    const double half = slots_[0] * DegreesToHalfRadians;
    const double s = std::sin(half);
    slots_ = {std::cos(half), slots_[1] * s, slots_[2] * s, slots_[3] * s};
}

void Quaternion::ToAngleAxis()
{
    const double t = std::acos(slots_[0]);  // not a number outside [-1, 1]
    const double s = std::sin(t);
    // Both tests are needed: a not-a-number sine compares unequal to zero.
    if (s == 0.0 || std::isnan(s))
    {
        slots_ = {0.0, 0.0, 0.0, 0.0};
        return;
    }
    slots_ = {t * HalfRadiansToDegrees, slots_[1] / s, slots_[2] / s, slots_[3] / s};
}

double Quaternion::Norm() const
{
    const auto [w, x, y, z] = slots_;
    return std::sqrt(((x * x + y * y) + z * z) + w * w);
}

void Quaternion::Normalise()
{
    const double norm = Norm();
    for (double& slot : slots_)
    {
        slot /= norm;
    }
}

void RotateByDrag(double dx, double dy, BranchParams& record)
{
    // A zero axis has no fallback here: its not-a-number slots end in the zero branch of
    // ToAngleAxis, and the next NormaliseAxis repairs the record.
    Quaternion turn;
    turn.Set(0.0, record.Axis[0], record.Axis[1], record.Axis[2]);
    turn.Normalise();
    const auto& unitAxis = turn.Slots();
    turn.Set(record.Angle, unitAxis[1], unitAxis[2], unitAxis[3]);
    turn.FromAngleAxis();

    const double length = std::sqrt(dy * dy + dx * dx);
    Quaternion drag;
    drag.Set(length, dy / length, dx / length, 0.0);
    drag.FromAngleAxis();

    turn.PreMultiply(drag);
    turn.Normalise();
    turn.ToAngleAxis();

    const auto& [angle, nx, ny, nz] = turn.Slots();
    record.Angle = angle > 180.0 ? angle - 360.0 : angle;
    record.Axis = {nx, ny, nz};
}

}  // namespace ramifex
