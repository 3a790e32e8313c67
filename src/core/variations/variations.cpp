#include "core/variations/variations.h"

#include <algorithm>
#include <cmath>

#include "core/scene/random_generator.h"

namespace ramifex
{
namespace
{

// The largest move of each field at the subtle strength; medium moves three times as far, wild
// ten times.
struct Amounts
{
    double Angle = 6.0;
    double Axis = 0.08;
    double Scale = 0.03;
    double Offset = 0.15;
    double Colour = 0.05;
    double Ratio = 0.04;
};

double Factor(VariationStrength strength)
{
    switch (strength)
    {
        case VariationStrength::Subtle:
            return 1.0;
        case VariationStrength::Medium:
            return 3.0;
        case VariationStrength::Wild:
            return 10.0;
    }
    return 1.0;
}

class Mover
{
public:
    Mover(uint32_t seed, double factor) : factor_(factor) { rng_.Seed(seed); }

    // A value moved by up to `amount` either way and kept within low..high.
    double Move(double value, double amount, double low, double high)
    {
        const double moved = value + (2.0 * rng_.Uniform() - 1.0) * amount * factor_;
        return std::clamp(std::isfinite(moved) ? moved : value, low, high);
    }

    // Angles wrap, so a wild turn past 180 comes back from -180 rather than sticking there.
    double Turn(double angle, double amount)
    {
        const double moved = Move(angle, amount, -1.0e9, 1.0e9);
        return std::clamp(std::remainder(moved, 360.0), -180.0, 180.0);
    }

private:
    RandomGenerator rng_;
    double factor_;
};

void VaryBranch(BranchParams& record, Mover& mover, const Amounts& by)
{
    record.Angle = mover.Turn(record.Angle, by.Angle);
    for (double& component : record.Axis)
    {
        component = mover.Move(component, by.Axis, -1.0, 1.0);
    }
    NormaliseAxis(record.Axis);
    record.Scale = mover.Move(record.Scale, by.Scale, 0.0, 1.0);
    record.Offset = mover.Move(record.Offset, by.Offset, -10.0, 10.0);
    for (double& channel : record.Colour)
    {
        channel = mover.Move(channel, by.Colour, 0.0, 1.0);
    }
    record.Ratio = mover.Move(record.Ratio, by.Ratio, 0.0, 1.0);
}

}  // namespace

std::array<SceneState, VariationCount> MakeVariations(const SceneState& scene,
                                                      VariationStrength strength, uint32_t seed)
{
    Mover mover(seed, Factor(strength));
    const Amounts by;
    std::array<SceneState, VariationCount> variations;
    for (SceneState& variation : variations)
    {
        variation = scene;
        VaryBranch(variation.Records[Branch1Record], mover, by);
        VaryBranch(variation.Records[Branch2Record], mover, by);
        for (double& channel : variation.Records[BaseRecord].Colour)
        {
            channel = mover.Move(channel, by.Colour, 0.0, 1.0);
        }
    }
    return variations;
}

}  // namespace ramifex
