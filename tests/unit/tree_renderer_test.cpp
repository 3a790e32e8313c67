#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/render/tree_renderer.h"
#include "support/recording_surface.h"
#include "support/test_clocks.h"

namespace ramifex::test
{
namespace
{

// A clock that lets the next walk step draw exactly a given number of spheres: it stands still for
// the step's start and that many checks, then jumps far past the budget.
class ScriptedClock final : public MillisecondClock
{
public:
    uint32_t Now() override { return remaining_-- > 0 ? base_ : base_ + 1000; }
    void AllowSpheres(int count)
    {
        base_ += 5000;
        remaining_ = count + 1;
    }

private:
    uint32_t base_ = 0;
    int remaining_ = 0;
};

constexpr int Unlimited = 1 << 30;

// Both branches halve and branch 2 steps by its offset along z, so a node's scale gives its depth
// and its z translation spells out its path in binary: node identities are exact.
SceneState PathEncodingScene(int iterations)
{
    SceneState scene;
    scene.Iterations = iterations;
    scene.Records[BaseRecord].Colour = {1, 1, 1};
    for (int b : {Branch1Record, Branch2Record})
    {
        scene.Records[b].Axis = {1, 0, 0};
        scene.Records[b].Scale = 0.5;
    }
    scene.Records[Branch2Record].Offset = 1.0;
    return scene;
}

// "" is the root, "1" its branch-1 child, "12" that child's branch-2 child, and so on.
std::string PathOf(const Matrix4& node)
{
    const int depth = static_cast<int>(std::lround(-std::log2(node.M[0])));
    std::string path;
    double z = node.M[14];
    for (int level = 1; level <= depth; ++level)
    {
        const double step = std::ldexp(1.0, -level);
        path += z >= step ? '2' : '1';
        z -= z >= step ? step : 0.0;
    }
    return path;
}

std::vector<std::string> Paths(const RecordingSurface& surface, size_t from = 0)
{
    std::vector<std::string> paths;
    for (size_t i = from; i < surface.Spheres().size(); ++i)
    {
        paths.push_back(PathOf(surface.Spheres()[i].Node));
    }
    return paths;
}

// The order the walk must follow: a node, its first subtree, the node again, its second subtree.
void ExpectedOrder(const std::string& node, int iterations, std::vector<std::string>& out)
{
    const bool leaf = static_cast<int>(node.size()) + 1 >= iterations;
    out.push_back(node);
    if (!leaf)
    {
        ExpectedOrder(node + "1", iterations, out);
    }
    out.push_back(node);
    if (!leaf)
    {
        ExpectedOrder(node + "2", iterations, out);
    }
}

struct Harness
{
    explicit Harness(SceneState s) : scene(std::move(s)) {}

    // Restarts the picture, as the first tick after an edit does.
    void Restart()
    {
        bool redraw = true;
        renderer.FrameTick(redraw);
    }
    void Tick(int spheres)
    {
        clock.AllowSpheres(spheres);
        bool redraw = false;
        renderer.FrameTick(redraw);
    }

    SceneState scene;
    RecordingSurface surface;
    ScriptedClock clock;
    TreeRenderer renderer{scene, surface, clock};
};

TEST(TreeWalk, DepthTwoDrawsRootChildChildRootChildChild)
{
    Harness h(PathEncodingScene(2));
    h.Restart();
    h.Tick(Unlimited);
    EXPECT_EQ(Paths(h.surface), (std::vector<std::string>{"", "1", "1", "", "2", "2"}));
    EXPECT_TRUE(h.renderer.WalkFinished());
    EXPECT_EQ(h.renderer.Stack().Level, -1);
}

TEST(TreeWalk, VisitsEveryNodeTwiceInDepthFirstOrder)
{
    for (int n = 1; n <= 10; ++n)
    {
        Harness h(PathEncodingScene(n));
        h.Restart();
        h.Tick(Unlimited);
        std::vector<std::string> expected;
        ExpectedOrder("", n, expected);
        EXPECT_EQ(expected.size(), 2u * ((1u << n) - 1));
        EXPECT_EQ(Paths(h.surface), expected) << "iterations " << n;
        EXPECT_TRUE(h.renderer.WalkFinished());
    }
}

TEST(TreeWalk, ResumesAcrossTicksExactlyWhereItStopped)
{
    Harness whole(PathEncodingScene(7));
    whole.Restart();
    whole.Tick(Unlimited);

    Harness sliced(PathEncodingScene(7));
    sliced.Restart();
    int ticks = 0;
    while (!sliced.renderer.WalkFinished())
    {
        sliced.Tick(1 + ticks % 5);
        ++ticks;
    }
    EXPECT_GT(ticks, 50);
    EXPECT_EQ(Paths(sliced.surface), Paths(whole.surface));
    for (size_t i = 0; i < whole.surface.Spheres().size(); ++i)
    {
        EXPECT_EQ(sliced.surface.Spheres()[i].Node.M, whole.surface.Spheres()[i].Node.M);
    }
}

TEST(TreeWalk, ChildMatrixIsParentTimesBranchMatrix)
{
    SceneState scene;
    scene.Iterations = 3;
    RandomGenerator rng;
    rng.Seed(99);
    RandomizeRecords(scene, rng);
    Harness h(scene);
    h.Restart();
    h.Tick(Unlimited);
    const auto& m = h.renderer.BranchMatrices();
    Matrix4 expected = Matrix4::Identity();
    Multiply(expected, m[0]);
    Multiply(expected, m[1]);
    const auto& spheres = h.surface.Spheres();
    ASSERT_EQ(spheres.size(), 14u);
    EXPECT_EQ(spheres[0].Node.M, Matrix4::Identity().M);
    EXPECT_EQ(spheres[5].Node.M, expected.M);  // root, 1, 11, 11, 1, then node 12
}

TEST(TreeWalk, BlendsColoursFromTheLiveBranchRecords)
{
    SceneState scene = PathEncodingScene(3);
    scene.Records[BaseRecord].Colour = {1, 0, 0};
    scene.Records[Branch1Record].Colour = {0, 0, 1};
    scene.Records[Branch1Record].Ratio = 0.5;
    scene.Records[Branch2Record].Colour = {0, 1, 0};
    scene.Records[Branch2Record].Ratio = 0.0;
    Harness h(scene);
    h.Restart();
    h.Tick(3);  // root, "1", "11"
    ASSERT_EQ(Paths(h.surface), (std::vector<std::string>{"", "1", "11"}));
    EXPECT_EQ(h.surface.Spheres()[0].Colour, (Vec3{1, 0, 0}));
    EXPECT_EQ(h.surface.Spheres()[1].Colour, (Vec3{0.5, 0, 0.5}));
    EXPECT_EQ(h.surface.Spheres()[2].Colour, (Vec3{0.25, 0, 0.75}));

    // A colour edit reaches nodes formed after it, before any restart; ratio 1 takes the colour
    // in one step, and ratio 0 keeps the parent's.
    h.scene.Records[Branch1Record].Colour = {0, 1, 1};
    h.scene.Records[Branch1Record].Ratio = 1.0;
    h.Tick(Unlimited);
    const auto paths = Paths(h.surface);
    for (size_t i = 3; i < paths.size(); ++i)
    {
        if (paths[i] == "2")
        {
            EXPECT_EQ(h.surface.Spheres()[i].Colour, (Vec3{1, 0, 0}));
        }
        if (paths[i] == "21")
        {
            EXPECT_EQ(h.surface.Spheres()[i].Colour, (Vec3{0, 1, 1}));
        }
    }
}

TEST(TreeWalk, BranchMatricesAreSnapshotsTakenAtRestart)
{
    Harness h(PathEncodingScene(3));
    h.Restart();
    h.Tick(2);
    h.scene.Records[Branch2Record].Offset = 50.0;
    h.scene.Records[Branch2Record].Angle = 90.0;
    h.Tick(Unlimited);
    std::vector<std::string> expected;
    ExpectedOrder("", 3, expected);
    EXPECT_EQ(Paths(h.surface), expected);  // still the old branch 2
}

TEST(TreeWalk, LoweringTheDepthGivesPendingSecondDrawingsOnly)
{
    Harness h(PathEncodingScene(3));
    h.Restart();
    h.Tick(3);  // root, "1", "11"; the walk now owes "11" its second drawing
    h.scene.Iterations = 2;
    h.Tick(Unlimited);
    EXPECT_EQ(Paths(h.surface, 3), (std::vector<std::string>{"11", "1", "", "2", "2"}));

    Harness lower(PathEncodingScene(3));
    lower.Restart();
    lower.Tick(3);
    lower.scene.Iterations = 1;
    lower.Tick(Unlimited);
    EXPECT_EQ(Paths(lower.surface, 3), (std::vector<std::string>{"11", "1", ""}));
    EXPECT_TRUE(lower.renderer.WalkFinished());
}

TEST(TreeWalk, RaisingTheDepthGoesDeeperWithoutRestart)
{
    Harness h(PathEncodingScene(2));
    h.Restart();
    h.Tick(2);  // root, "1"; "1" has already passed its first child's turn
    h.scene.Iterations = 3;
    h.Tick(Unlimited);
    EXPECT_EQ(Paths(h.surface, 2),
              (std::vector<std::string>{"1", "12", "12", "", "2", "21", "21", "2", "22", "22"}));
}

TEST(TreeWalk, DepthAboveTheStackIsClampedToIt)
{
    Harness h(PathEncodingScene(31));
    h.scene.Records[Branch1Record].Scale = 1.0;  // keep node identities out of the way
    h.Restart();
    h.Tick(100);
    EXPECT_EQ(h.surface.Spheres().size(), 100u);
    EXPECT_LE(h.renderer.Stack().Level, MaxDepth - 1);
}

// The full order with every second drawing left out: each node once, in pre-order.
std::vector<std::string> FirstDrawings(const std::vector<std::string>& order)
{
    std::vector<std::string> firsts;
    std::vector<std::string> seen;
    for (const std::string& node : order)
    {
        if (std::find(seen.begin(), seen.end(), node) == seen.end())
        {
            seen.push_back(node);
            firsts.push_back(node);
        }
    }
    return firsts;
}

TEST(RepeatDrawings, SkippingSurfaceGetsEveryNodeOnceInTheSameOrder)
{
    for (int n = 1; n <= 8; ++n)
    {
        Harness h(PathEncodingScene(n));
        h.surface.RecordRepeats(false);
        h.Restart();
        h.Tick(Unlimited);
        std::vector<std::string> expected;
        ExpectedOrder("", n, expected);
        EXPECT_EQ(Paths(h.surface), FirstDrawings(expected)) << "iterations " << n;
        EXPECT_EQ(h.surface.Spheres().size(), (1u << n) - 1);
        EXPECT_TRUE(h.renderer.WalkFinished());
    }
}

// Left-out drawings still take their step and their clock reading, so a tick ends where it would
// have ended with every drawing issued.
TEST(RepeatDrawings, SkippedStepsStillCountAgainstTheBudget)
{
    SceneState scene = PathEncodingScene(6);
    RecordingSurface all;
    RecordingSurface firsts;
    firsts.RecordRepeats(false);
    SteppingClock allClock(0, 1);
    SteppingClock firstsClock(0, 1);
    TreeRenderer full(scene, all, allClock);
    SceneState sameScene = scene;
    TreeRenderer skipping(sameScene, firsts, firstsClock);
    for (int tick = 0; tick < 3; ++tick)
    {
        bool redraw = tick == 0;
        full.FrameTick(redraw);
        redraw = tick == 0;
        skipping.FrameTick(redraw);
        EXPECT_EQ(skipping.Stack().Level, full.Stack().Level) << "tick " << tick;
        for (int level = 0; level < 6; ++level)
        {
            EXPECT_EQ(skipping.Stack().Frames[level].ChildCounter,
                      full.Stack().Frames[level].ChildCounter);
        }
    }
    EXPECT_EQ(all.Spheres().size(), 98u);  // two ticks of 49 steps
    EXPECT_EQ(Paths(firsts), FirstDrawings(Paths(all)));
    EXPECT_LT(firsts.Spheres().size(), all.Spheres().size());
}

TEST(RepeatDrawings, LoweringTheDepthLeavesOutThePendingSecondDrawings)
{
    Harness h(PathEncodingScene(3));
    h.surface.RecordRepeats(false);
    h.Restart();
    h.Tick(3);  // root, "1", "11"
    h.scene.Iterations = 2;
    h.Tick(Unlimited);
    EXPECT_EQ(Paths(h.surface), (std::vector<std::string>{"", "1", "11", "2"}));
}

// Every node of the path-encoding tree lies on the picture's centre line, between pixel centres;
// the sphere k levels down has radius 2^-k, at depth 10 or less.
TEST(CulledWalk, LeavesOutWhatCoversNoPixelCentreAndCountsItAsDone)
{
    struct Case
    {
        int32_t Width;
        std::vector<std::string> Drawn;
    };
    // 64 pixels across give 3.2 pixels per unit at depth 10; 100000 give 5000.
    const Case cases[] = {
        {64, {"", "1", "11", "12", "2", "21", "22"}},  // 0.4 pixels from level 3 on
        {100000, {}},
    };
    for (const Case& c : cases)
    {
        Harness h(PathEncodingScene(6));
        h.surface.RecordRepeats(false);
        h.surface.JudgeAt(PixelAreaFor(c.Width, c.Width * 3 / 4));
        h.Restart();
        EXPECT_EQ(h.renderer.PreviewDepth(), 0);  // the whole tree fits in a preview
        h.Tick(Unlimited);
        std::vector<std::string> expected = c.Drawn;
        if (expected.empty())
        {
            ExpectedOrder("", 6, expected);
            expected = FirstDrawings(expected);
        }
        EXPECT_EQ(Paths(h.surface), expected) << c.Width;
        const WalkProgress progress = h.renderer.Progress();
        EXPECT_TRUE(progress.Finished);
        EXPECT_EQ(progress.Nodes, 63u);
        EXPECT_EQ(progress.SpheresDrawn, expected.size());
    }
}

// The preview draws the levels above its depth in depth-first order, then the full walk adds the
// deeper ones in the same order, each node once; the fraction done counts the full walk only.
TEST(CulledWalk, PreviewsTheUpperLevelsThenAddsTheRest)
{
    constexpr int Depth = 12;
    Harness h(PathEncodingScene(Depth));
    h.surface.RecordRepeats(false);
    h.surface.JudgeAt(PixelAreaFor(100000, 75000));  // every sphere covers pixel centres
    h.Restart();
    const int32_t preview = h.renderer.PreviewDepth();
    ASSERT_GE(preview, 4);
    ASSERT_LT(preview, Depth);
    std::vector<std::string> order;
    ExpectedOrder("", Depth, order);
    std::vector<std::string> upper;
    std::vector<std::string> deeper;
    for (const std::string& node : FirstDrawings(order))
    {
        (static_cast<int32_t>(node.size()) < preview ? upper : deeper).push_back(node);
    }
    h.Tick(static_cast<int>(2 * upper.size()));
    EXPECT_EQ(Paths(h.surface), upper);
    EXPECT_EQ(h.renderer.CompleteLevels(), preview);
    EXPECT_EQ(h.renderer.Progress().Fraction, 0.0);
    h.Tick(Unlimited);
    EXPECT_EQ(Paths(h.surface, upper.size()), deeper);
    EXPECT_EQ(h.renderer.CompleteLevels(), Depth);
    EXPECT_EQ(h.renderer.Progress().Fraction, 1.0);
}

TEST(FrameTick, RestartClearsSetsTheViewAndPresentsNothing)
{
    SceneState scene = PathEncodingScene(2);
    scene.ViewOffset = {1, 2, -10};
    scene.Records[BaseRecord].Angle = 90;
    scene.Records[BaseRecord].Axis = {0, 0, 3};  // normalised by the restart
    Harness h(scene);
    bool redraw = true;
    h.clock.AllowSpheres(Unlimited);
    h.renderer.FrameTick(redraw);
    EXPECT_EQ(h.surface.events, (std::vector<std::string>{"clear", "view"}));
    EXPECT_FALSE(redraw);
    EXPECT_FALSE(h.renderer.WalkFinished());
    EXPECT_EQ(h.scene.Records[BaseRecord].Axis, (Vec3{0, 0, 1}));
    Matrix4 view = Matrix4::Identity();
    Translate(view, 1, 2, -10);
    Rotate(view, 90, 0, 0, 1);
    EXPECT_EQ(h.surface.View().M, view.M);

    h.Tick(Unlimited);
    EXPECT_EQ(h.surface.events.back(), "present");
    EXPECT_EQ(h.surface.Spheres().size(), 6u);
}

TEST(FrameTick, ContinuesTheOldWalkBeforeRestarting)
{
    Harness h(PathEncodingScene(4));
    h.Restart();
    h.Tick(2);
    h.surface.events.clear();
    bool redraw = true;
    h.clock.AllowSpheres(3);
    h.renderer.FrameTick(redraw);
    EXPECT_EQ(h.surface.events,
              (std::vector<std::string>{"sphere", "sphere", "sphere", "present", "clear", "view"}));
    EXPECT_EQ(h.renderer.Stack().Level, 0);
}

TEST(FrameTick, IdleTicksOnlyNormaliseTheBranchAxes)
{
    SceneState scene;
    scene.Records[BaseRecord].Axis = {0, 0, 0};
    scene.Records[Branch1Record].Axis = {0, 0, 0};
    scene.Records[Branch2Record].Axis = {0, 2, 0};
    Harness h(scene);
    h.Tick(Unlimited);
    EXPECT_TRUE(h.surface.events.empty());
    EXPECT_EQ(h.scene.Records[Branch1Record].Axis, (Vec3{1, 0, 0}));
    EXPECT_EQ(h.scene.Records[Branch2Record].Axis, (Vec3{0, 1, 0}));
    EXPECT_EQ(h.scene.Records[BaseRecord].Axis, (Vec3{0, 0, 0}));  // only a restart touches it
}

TEST(FrameTick, FinishedWalkWithRedrawClearsWithoutPresenting)
{
    Harness h(PathEncodingScene(1));
    h.Restart();
    h.Tick(Unlimited);
    EXPECT_EQ(Paths(h.surface), (std::vector<std::string>{"", ""}));
    h.surface.events.clear();
    bool redraw = true;
    h.renderer.FrameTick(redraw);
    EXPECT_EQ(h.surface.events, (std::vector<std::string>{"clear", "view"}));
}

// However odd the scene, a new renderer is idle until the first restart, and its walk stays on its
// stack; the sanitizer build checks the memory.
TEST(FrameTick, ANewRendererIsIdleOverAnySceneAndWalksWithinItsStack)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<int32_t, double> cases[] = {{0, nan},   {-7, inf}, {INT32_MIN, -inf},
                                                {1, 1e308}, {31, nan}, {INT32_MAX, 0.5}};
    for (const auto& [iterations, value] : cases)
    {
        const Vec3 v{value, value, value};
        SceneState scene{.Iterations = iterations, .ViewOffset = v};
        scene.Records.fill({value, v, value, value, v, value});
        Harness h(scene);
        EXPECT_TRUE(h.renderer.WalkFinished());
        EXPECT_EQ(h.renderer.Stack().Level, -1);
        h.Tick(Unlimited);
        EXPECT_TRUE(h.surface.events.empty()) << "an idle tick draws nothing";

        h.Restart();
        h.Tick(500);
        EXPECT_LT(h.renderer.Stack().Level, MaxDepth);
        EXPECT_EQ(h.renderer.WalkFinished(), iterations <= 1) << iterations;
    }
}

TEST(WalkBudget, ConsultsTheClockBeforeEverySphere)
{
    SceneState scene = PathEncodingScene(20);
    RecordingSurface surface;
    SteppingClock clock(1000, 1);
    TreeRenderer renderer(scene, surface, clock);
    bool redraw = true;
    renderer.FrameTick(redraw);
    renderer.FrameTick(redraw);
    // Readings 1001..1049 are under the 50 ms budget from the start at 1000.
    EXPECT_EQ(surface.Spheres().size(), 49u);
    EXPECT_EQ(surface.events.back(), "present");

    SteppingClock slow(0, 60);
    RecordingSurface idle;
    TreeRenderer late(scene, idle, slow);
    redraw = true;
    late.FrameTick(redraw);
    late.FrameTick(redraw);
    EXPECT_TRUE(idle.Spheres().empty());
    EXPECT_EQ(idle.events.back(), "present");
}

// A surface whose present takes long gets it inside the tick's budget, but never more than half.
TEST(WalkBudget, LeavesThePresentItsShare)
{
    for (const auto& [presentMs, spheres] : {std::pair{20u, 29u}, std::pair{40u, 24u}})
    {
        SceneState scene = PathEncodingScene(20);
        RecordingSurface surface;
        surface.presentMs = presentMs;
        SteppingClock clock(1000, 1);
        TreeRenderer renderer(scene, surface, clock);
        bool redraw = true;
        renderer.FrameTick(redraw);
        renderer.FrameTick(redraw);
        EXPECT_EQ(surface.Spheres().size(), spheres) << presentMs;
    }
}

TEST(WalkBudget, ClockWrapDoesNotStopTheWalk)
{
    SceneState scene = PathEncodingScene(20);
    RecordingSurface surface;
    SteppingClock clock(0xFFFFFFF0u, 1);
    TreeRenderer renderer(scene, surface, clock);
    bool redraw = true;
    renderer.FrameTick(redraw);
    renderer.FrameTick(redraw);
    EXPECT_EQ(surface.Spheres().size(), 49u);
    EXPECT_FALSE(renderer.WalkFinished());
}

}  // namespace
}  // namespace ramifex::test
