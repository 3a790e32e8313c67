#include "core/scene/scene_state.h"

#include <algorithm>
#include <cmath>

namespace ramifex
{

namespace
{

double SquaredLength(const Vec3& axis)
{
    return (axis[1] * axis[1] + axis[2] * axis[2]) + axis[0] * axis[0];
}

// Divides the axis by its largest component, so that its squared length lies in 1..3. Only for
// axes whose squared length underflowed or overflowed; a zero axis stays zero.
void ScaleToLargestComponent(Vec3& axis)
{
    const double largest = std::max({std::abs(axis[0]), std::abs(axis[1]), std::abs(axis[2])});
    if (largest > 0.0)
    {
        for (double& component : axis)
        {
            component /= largest;
        }
    }
}

}  // namespace

void NormaliseAxis(Vec3& axis)
{
    double s = SquaredLength(axis);
    if (!std::isnormal(s) && !std::isnan(s))
    {
        ScaleToLargestComponent(axis);
        s = SquaredLength(axis);
    }
    if (s == 0.0 || std::isnan(s))
    {
        axis = {1.0, 0.0, 0.0};
        return;
    }
    if (s == 1.0)
    {
        return;
    }
    const double r = std::sqrt(s);
    for (double& component : axis)
    {
        component /= r;
    }
}

void RandomizeRecords(SceneState& scene, RandomGenerator& rng)
{
    const auto signedUnit = [&rng] { return 2.0 * rng.Uniform() - 1.0; };
    // The draws are consumed in field order; the axis is normalised later, before any drawing.
    for (BranchParams& record : scene.Records)
    {
        record.Angle = rng.Uniform() * 180.0;
        record.Axis[0] = signedUnit();
        record.Axis[1] = signedUnit();
        record.Axis[2] = signedUnit();
        record.Scale = rng.Uniform();
        record.Offset = signedUnit() * 10.0;
        record.Colour[0] = rng.Uniform();
        record.Colour[1] = rng.Uniform();
        record.Colour[2] = rng.Uniform();
        record.Ratio = rng.Uniform();
    }
}

}  // namespace ramifex
