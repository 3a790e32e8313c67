// Pictures drawn by the tree walk through the viewer, read back from the kept picture.
#include <array>

#include <QTest>

#include "renderjob/render_job.h"
#include "viewer/gl_viewer.h"
#include "viewer_test_support.h"

namespace ramifex::test
{
namespace
{

class Picture : public OpenViewerTest
{
protected:
    // Restarts the picture, then ticks until the walk is done; returns the picture after each
    // drawing tick.
    std::vector<QImage> DrawWalk(SceneState& scene, MillisecondClock& clock)
    {
        return DrawWalk(scene, viewer, clock);
    }

    std::vector<QImage> DrawWalk(SceneState& scene, DrawSurface& surface, MillisecondClock& clock,
                                 bool culling = true)
    {
        CompleteWalk walk(scene, surface, clock);
        walk.SetCulling(culling);
        std::vector<QImage> pictures;
        walk.RunToEnd(
            [&]
            {
                pictures.push_back(viewer.GrabPicture().convertToFormat(QImage::Format_RGB32));
                return true;
            });
        return pictures;
    }
};

// The viewer's drawing with nothing of the picture known to the walk: no subtree is left out and
// there is no preview.
class PlainWalkSurface final : public DrawSurface
{
public:
    explicit PlainWalkSurface(GlViewer& viewer) : viewer_(viewer) {}
    void Clear() override { viewer_.Clear(); }
    void SetViewTransform(const Matrix4& view) override { viewer_.SetViewTransform(view); }
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        viewer_.DrawSphere(node, colour);
    }
    void Present() override { viewer_.Present(); }
    bool SkipsRepeatDrawings() const override { return true; }

private:
    GlViewer& viewer_;
};

// Whether every pixel lit in the earlier picture is still lit in the later one.
bool KeepsEverythingOf(const QImage& later, const QImage& earlier)
{
    for (int y = 0; y < earlier.height(); ++y)
    {
        for (int x = 0; x < earlier.width(); ++x)
        {
            if (!IsBlack(earlier.pixel(x, y)) && IsBlack(later.pixel(x, y)))
            {
                return false;
            }
        }
    }
    return true;
}

// Default records collapse every child onto the root (scale 0), leaving the root alone: a sphere of
// radius 1 at distance 10, so 32 pixels across its radius on a 640 by 480 picture.
TEST_F(Picture, WhiteBaseGivesOneSphereLitFromTheUpperLeft)
{
    SceneState scene;
    scene.Records[BaseRecord].Colour = {1.0, 1.0, 1.0};
    FrozenClock clock;
    const std::vector<QImage> pictures = DrawWalk(scene, clock);
    ASSERT_EQ(pictures.size(), 1u);
    const QImage& picture = pictures.back();
    ASSERT_EQ(picture.size(), QSize(640, 480));

    QRect lit;
    for (int y = 0; y < picture.height(); ++y)
    {
        for (int x = 0; x < picture.width(); ++x)
        {
            const QRgb pixel = picture.pixel(x, y);
            if (!IsBlack(pixel))
            {
                lit |= QRect(x, y, 1, 1);
                ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel))
                    << "not grey at " << x << ", " << y;
            }
        }
    }
    // One sphere, centred: what is lit lies within the disc and in its upper-left part.
    EXPECT_LE(lit.right(), 320 + 33);
    EXPECT_LE(lit.bottom(), 240 + 33);
    EXPECT_GE(lit.left(), 320 - 33);
    EXPECT_GE(lit.top(), 240 - 33);
    EXPECT_LT(lit.left(), 320 - 25);  // the lit side reaches the left rim
    EXPECT_LT(lit.top(), 240 - 25);   // and the top rim

    EXPECT_GT(qRed(picture.pixel(320 - 12, 240 - 12)), 200);
    EXPECT_LT(qRed(picture.pixel(320 + 20, 240 + 20)), 16);  // facing away from the light
    EXPECT_TRUE(IsBlack(picture.pixel(320 - 45, 240)));      // outside the sphere
    EXPECT_TRUE(IsBlack(picture.pixel(5, 5)));
}

TEST_F(Picture, WalkSpreadOverTicksGrowsIntoTheOneTickPicture)
{
    SceneState scene = SpreadTree();

    SteppingClock stepping;
    const std::vector<QImage> growing = DrawWalk(scene, stepping);
    ASSERT_GT(growing.size(), 10u);
    for (size_t i = 1; i < growing.size(); ++i)
    {
        ASSERT_TRUE(KeepsEverythingOf(growing[i], growing[i - 1])) << "tick " << i;
    }
    EXPECT_LT(CountLit(growing.front()), CountLit(growing.back()));
    EXPECT_GT(CountLit(growing.back()), 1000);

    FrozenClock frozen;
    const std::vector<QImage> whole = DrawWalk(scene, frozen);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_TRUE(whole.front() == growing.back());
}

// Leaving out what cannot change a pixel, and drawing a preview of the upper levels first, must
// give the plain walk's picture exactly: for a tree spread over the picture, the same tree pushed
// half out of it, and one whose spheres reach through the near plane.
TEST_F(Picture, CullingAndPreviewKeepThePlainWalksPicture)
{
    const SceneState spread = SpreadTree(12);
    SceneState halfOut = spread;
    halfOut.ViewOffset = {7.0, 2.0, -10.0};
    SceneState close;
    close.Records[BaseRecord] = {30.0, {0, 1, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    close.Records[Branch1Record] = {40.0, {0, 0, 1}, 0.9, 1.5, {0.2, 0.9, 0.3}, 0.3};
    close.Records[Branch2Record] = {-70.0, {1, 0, 0}, 0.8, 1.8, {0.9, 0.5, 0.1}, 0.3};
    close.Iterations = 12;
    close.ViewOffset = {0.5, 0.0, -2.0};

    const std::array<SceneState, 3> scenes = {spread, halfOut, close};
    for (size_t i = 0; i < scenes.size(); ++i)
    {
        SceneState scene = scenes[i];
        PlainWalkSurface plainSurface(viewer);
        FrozenClock frozen;
        SteppingClock stepping;
        MillisecondClock& overTicks = i == 0 ? static_cast<MillisecondClock&>(stepping) : frozen;
        const QImage plain = DrawWalk(scene, plainSurface, frozen).back();
        const QImage culled = DrawWalk(scene, viewer, overTicks).back();
        const QImage unculled = DrawWalk(scene, viewer, frozen, false).back();
        EXPECT_GT(CountLit(plain), 2000);
        EXPECT_TRUE(culled == plain) << "scene " << i;
        EXPECT_TRUE(unculled == plain) << "scene " << i;
    }
}

// The render job needs no window: in a context of its own, its pictures of a sequence of trees are
// the viewer's completed pictures to the pixel.
TEST(RenderJobPicture, EqualsTheViewersCompletedPicture)
{
    SceneState deeper = SpreadTree(8);
    deeper.ViewOffset = {1.0, -0.5, -8.0};
    const std::vector<SceneState> scenes = {SpreadTree(), deeper};

    std::vector<RenderedFrame> frames;
    {
        RenderSettings settings;
        settings.Depth = 10;
        RenderJob job(scenes, settings);
        ASSERT_TRUE(job.Start()) << job.Error().toStdString();
        while (!job.Finished())
        {
            if (std::optional<RenderedFrame> frame = job.Tick())
            {
                frames.push_back(std::move(*frame));
            }
        }
        EXPECT_FALSE(job.Failed());
        EXPECT_TRUE(QGuiApplication::allWindows().isEmpty());
    }
    ASSERT_EQ(frames.size(), scenes.size());

    RecordingNavigator navigator;
    GlViewer viewer;
    ASSERT_TRUE(viewer.Open(navigator));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.Window()));
    for (size_t i = 0; i < scenes.size(); ++i)
    {
        EXPECT_EQ(frames[i].Index, i);
        EXPECT_EQ(frames[i].Scene.Iterations, 10);
        SteppingClock stepping;  // the viewer's picture grows over many ticks
        CompleteWalk(frames[i].Scene, viewer, stepping).RunToEnd();
        const QImage seen = viewer.GrabPicture().convertToFormat(QImage::Format_RGB32);
        EXPECT_GT(CountLit(seen), 1000);
        EXPECT_TRUE(frames[i].Picture == seen) << "scene " << i;
    }
}

}  // namespace
}  // namespace ramifex::test
