#include <cmath>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "core/variations/variations.h"

namespace ramifex
{
namespace
{

SceneState Start(uint32_t seed)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(seed);
    RandomizeRecords(scene, rng);
    scene.Iterations = 12;
    scene.ViewOffset = {0.5, -1.0, -14.0};
    return scene;
}

// Angles within -180..180, axis components within -1..1, scale and colour ratio within 0..1,
// offset within -10..10 and colours within 0..1, as the panel's sliders and colour chooser show
// them.
bool WithinThePanelsRanges(const BranchParams& record)
{
    const auto within = [](double value, double low, double high)
    { return value >= low && value <= high; };
    bool ok = within(record.Angle, -180.0, 180.0) && within(record.Scale, 0.0, 1.0) &&
              within(record.Offset, -10.0, 10.0) && within(record.Ratio, 0.0, 1.0);
    for (int i = 0; i < 3; ++i)
    {
        ok = ok && within(record.Axis[i], -1.0, 1.0) && within(record.Colour[i], 0.0, 1.0);
    }
    return ok;
}

double Distance(const SceneState& a, const SceneState& b)
{
    double sum = 0.0;
    for (int r = Branch1Record; r <= Branch2Record; ++r)
    {
        sum += std::abs(a.Records[r].Scale - b.Records[r].Scale) +
               std::abs(a.Records[r].Offset - b.Records[r].Offset) / 10.0;
    }
    return sum;
}

// For each strength and a few scenes and seeds: the same seed gives the same eight, another
// seed others; the eight differ from each other and from the scene, keep its depth, view and
// turn, and stay within what the panel shows; and the stronger, the farther they stray.
TEST(Variations, ReproducibleDistinctWithinThePanelsRanges)
{
    const VariationStrength strengths[] = {VariationStrength::Subtle, VariationStrength::Medium,
                                           VariationStrength::Wild};
    for (uint32_t sceneSeed : {1u, 2u, 7u})
    {
        const SceneState scene = Start(sceneSeed);
        std::vector<double> stray;
        for (VariationStrength strength : strengths)
        {
            const auto variations = MakeVariations(scene, strength, 41);
            EXPECT_EQ(variations, MakeVariations(scene, strength, 41));
            EXPECT_NE(variations, MakeVariations(scene, strength, 42));
            std::set<std::vector<double>> distinct;
            double sum = 0.0;
            for (const SceneState& variation : variations)
            {
                EXPECT_NE(variation, scene);
                EXPECT_EQ(variation.Iterations, scene.Iterations);
                EXPECT_EQ(variation.ViewOffset, scene.ViewOffset);
                EXPECT_EQ(variation.Records[BaseRecord].Angle, scene.Records[BaseRecord].Angle);
                EXPECT_EQ(variation.Records[BaseRecord].Axis, scene.Records[BaseRecord].Axis);
                for (const BranchParams& record : variation.Records)
                {
                    EXPECT_TRUE(WithinThePanelsRanges(record));
                }
                const BranchParams& b1 = variation.Records[Branch1Record];
                distinct.insert({b1.Angle, b1.Scale, b1.Offset, b1.Axis[0]});
                sum += Distance(variation, scene);
            }
            EXPECT_EQ(distinct.size(), size_t{VariationCount});
            stray.push_back(sum);
        }
        EXPECT_LT(stray[0], stray[1]);
        EXPECT_LT(stray[1], stray[2]);
    }
}

}  // namespace
}  // namespace ramifex
