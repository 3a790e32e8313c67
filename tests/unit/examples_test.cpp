#include <gtest/gtest.h>

#include "core/render/projection.h"
#include "core/render/tree_renderer.h"
#include "io/examples/examples.h"
#include "support/recording_surface.h"
#include "support/test_clocks.h"

namespace ramifex
{
namespace
{

// Every shipped example reads, no two are alike, and each draws a picture of many spheres at the
// window's size (more than its upper levels alone: the tree is in view).
TEST(Examples, EachOpensDrawsAndDiffers)
{
    const std::vector<Example> examples = Examples();
    ASSERT_GE(examples.size(), 12u);
    for (size_t i = 0; i < examples.size(); ++i)
    {
        for (size_t j = 0; j < i; ++j)
        {
            EXPECT_NE(examples[i].Scene, examples[j].Scene) << examples[i].Name.toStdString();
            EXPECT_NE(examples[i].Name, examples[j].Name);
        }
        SceneState scene = examples[i].Scene;
        scene.Iterations = std::min(scene.Iterations, 10);
        test::RecordingSurface surface;
        surface.JudgeAt(PixelAreaFor(640, 480));
        test::FrozenClock clock;
        TreeRenderer renderer(scene, surface, clock);
        bool redraw = true;
        renderer.FrameTick(redraw);
        renderer.FrameTick(redraw);
        EXPECT_GT(surface.Count("sphere"), 100) << examples[i].Name.toStdString();
    }
}

}  // namespace
}  // namespace ramifex
