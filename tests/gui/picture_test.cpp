// Pictures drawn by the tree walk through the viewer, read back from the kept picture.
#include <array>

#include <QTest>

#include "gl/jobs/picture_sequence.h"
#include "gl/viewer/gl_viewer.h"
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

std::vector<RenderedFrame> RenderAll(const std::vector<SceneState>& scenes,
                                     const RenderSettings& settings)
{
    std::vector<RenderedFrame> frames;
    PictureSequence job(ScenesOf(scenes), settings);
    EXPECT_TRUE(job.Start()) << job.Error().toStdString();
    while (!job.Finished())
    {
        if (std::optional<RenderedFrame> frame = job.Tick())
        {
            frames.push_back(std::move(*frame));
        }
    }
    EXPECT_FALSE(job.Failed()) << job.Error().toStdString();
    return frames;
}

int Brightness(QRgb pixel)
{
    return qRed(pixel) + qGreen(pixel) + qBlue(pixel);
}

// A job's picture needs no window: in a context of its own, its pictures of a sequence of trees are
// the viewer's completed pictures to the pixel.
TEST(JobPicture, EqualsTheViewersCompletedPicture)
{
    SceneState deeper = SpreadTree(8);
    deeper.ViewOffset = {1.0, -0.5, -8.0};
    const std::vector<SceneState> scenes = {SpreadTree(), deeper};

    RenderSettings settings;
    settings.Depth = 10;
    const std::vector<RenderedFrame> frames = RenderAll(scenes, settings);
    EXPECT_TRUE(QGuiApplication::allWindows().isEmpty());
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

// Smooth edges: where the sharp picture's spheres meet the black background, the 2x2 picture's
// pixels lie between the two, and the picture as a whole is as bright as the sharp one.
TEST(JobPicture, SmoothEdgesBlendSilhouettesAndKeepTheMeanColour)
{
    RenderSettings settings;
    settings.Size = {160, 120};
    const QImage sharp = RenderAll({SpreadTree(6)}, settings).at(0).Picture;
    settings.Samples = 2;
    const QImage smooth = RenderAll({SpreadTree(6)}, settings).at(0).Picture;
    ASSERT_EQ(smooth.size(), sharp.size());

    int edges = 0;
    int blended = 0;
    double sharpSum = 0.0;
    double smoothSum = 0.0;
    for (int y = 1; y + 1 < sharp.height(); ++y)
    {
        for (int x = 1; x + 1 < sharp.width(); ++x)
        {
            sharpSum += Brightness(sharp.pixel(x, y));
            smoothSum += Brightness(smooth.pixel(x, y));
            const bool silhouette =
                !IsBlack(sharp.pixel(x, y)) &&
                (IsBlack(sharp.pixel(x - 1, y)) || IsBlack(sharp.pixel(x + 1, y)) ||
                 IsBlack(sharp.pixel(x, y - 1)) || IsBlack(sharp.pixel(x, y + 1)));
            if (silhouette)
            {
                ++edges;
                const int value = Brightness(smooth.pixel(x, y));
                blended += value > 0 && value < Brightness(sharp.pixel(x, y)) ? 1 : 0;
            }
        }
    }
    EXPECT_GT(edges, 100);
    EXPECT_GT(blended, edges / 2);
    const double pixels = (sharp.width() - 2.0) * (sharp.height() - 2.0);
    EXPECT_NEAR(smoothSum / pixels, sharpSum / pixels, 0.03 * sharpSum / pixels);
}

}  // namespace
}  // namespace ramifex::test
