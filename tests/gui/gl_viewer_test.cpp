// The viewer's GL state, size changes, exposure and closing, on a real window under Xvfb.
#include <QEventLoop>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QTest>
#include <QTimer>

#include "gl/picture/sphere_batch.h"
#include "gl/picture/sphere_picture.h"
#include "gl/viewer/gl_viewer.h"
#include "viewer_test_support.h"

namespace ramifex::test
{
namespace
{

class OpenViewer : public OpenViewerTest
{
protected:
    std::array<GLint, 4> Viewport()
    {
        std::array<GLint, 4> v{};
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }

    void ExpectShape(int width, int height, double top)
    {
        EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, 0, width, height}));
        ExpectMatrixNear(ReadMatrix(GL_PROJECTION_MATRIX),
                         FrustumMatrix(-1, 1, -top, top, 1, 1000));
        EXPECT_EQ(viewer.GrabPicture().size(), QSize(width, height));
    }
};

TEST_F(OpenViewer, OpensTheWindowWithProjectionAndBasisFor640By480)
{
    QWindow& window = *viewer.Window();
    EXPECT_EQ(window.title(), "OpenGL Window");
    EXPECT_EQ(window.framePosition(), QPoint(0, 0));
    EXPECT_EQ(window.size(), QSize(640, 480));
    EXPECT_EQ(QOpenGLContext::currentContext()->format().profile(),
              QSurfaceFormat::CompatibilityProfile);
    ExpectShape(640, 480, 0.75);
    ExpectMatrixNear(ReadMatrix(GL_MODELVIEW_MATRIX), BasisMatrix);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(navigator.Redraws, 0);
}

TEST_F(OpenViewer, ResizeFollowsTheShapeInSinglePrecision)
{
    viewer.Resize(480, 640);
    ExpectShape(480, 640, 1.3333333730697632);
    viewer.Resize(100, 300);
    ExpectShape(100, 300, 3.0);
    viewer.Resize(800, 600);
    ExpectShape(800, 600, 0.75);
    ExpectMatrixNear(ReadMatrix(GL_MODELVIEW_MATRIX), BasisMatrix);
}

// The light was given under BasisMatrix: BasisMatrix * (-10, 5, 5, 0) in eye coordinates.
TEST_F(OpenViewer, LightStaysFixedRelativeToTheViewer)
{
    std::array<GLfloat, 4> light{};
    glGetLightfv(GL_LIGHT0, GL_POSITION, light.data());
    ExpectMatrixNear(std::array<double, 16>{light[0], light[1], light[2], light[3]},
                     std::array<double, 16>{-5, 5, 10, 0});

    SceneState scene;
    scene.Records[BaseRecord] = {30.0, {0.0, 1.0, 0.0}, 1.0, 0.0, {1.0, 0.0, 0.0}, 0.0};
    scene.ViewOffset = {1.0, 2.0, -20.0};
    FrozenClock clock;
    CompleteWalk(scene, viewer, clock).RunToEnd();
    EXPECT_NEAR(ReadMatrix(GL_MODELVIEW_MATRIX)[14], -20.0,
                1e-6);  // the view transform is in place

    std::array<GLfloat, 4> after{};
    glGetLightfv(GL_LIGHT0, GL_POSITION, after.data());
    EXPECT_EQ(after, light);
}

TEST_F(OpenViewer, WindowResizeResizesThePictureAndRestartsIt)
{
    Matrix4 view = Matrix4::Identity();
    Translate(view, 0.0, 0.0, -10.0);
    viewer.SetViewTransform(view);

    viewer.Window()->resize(300, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return navigator.Redraws > 0; }, 5000));
    EXPECT_EQ(navigator.Redraws, 1);
    ExpectShape(300, 200, 200.0 / 300.0);

    // The rest of the walk under way draws nothing into the new picture, though the resize's basis
    // would put this sphere in plain view; the restart clears and drawing goes on.
    const Vec3 white{1, 1, 1};
    Matrix4 inView = Matrix4::Identity();
    Translate(inView, 10.0, 0.0, 0.0);
    viewer.DrawSphere(inView, white);
    EXPECT_EQ(CountLit(viewer.GrabPicture()), 0);
    viewer.Clear();
    viewer.SetViewTransform(view);
    viewer.DrawSphere(Matrix4::Identity(), white);
    EXPECT_GT(CountLit(viewer.GrabPicture()), 0);
}

TEST_F(OpenViewer, EmptyDrawingAreaIsSurvivedAndTheNextSizeSetsEverything)
{
    QResizeEvent minimised(QSize(0, 0), viewer.Window()->size());
    QCoreApplication::sendEvent(viewer.Window(), &minimised);
    viewer.Resize(0, 480);
    viewer.Resize(640, 0);
    viewer.Clear();
    viewer.DrawSphere(Matrix4::Identity(), {1.0, 1.0, 1.0});
    viewer.Present();
    ExpectShape(640, 480, 0.75);  // unchanged while empty

    viewer.Resize(100, 300);
    ExpectShape(100, 300, 3.0);
    ExpectMatrixNear(ReadMatrix(GL_MODELVIEW_MATRIX), BasisMatrix);
}

TEST_F(OpenViewer, ClosingAsksToQuitAndKeepsTheWindow)
{
    int closes = 0;
    viewer.SetCloseAction([&] { ++closes; });
    viewer.Window()->close();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(viewer.Window()->isVisible());
    EXPECT_NE(viewer.Window()->handle(), nullptr);
}

TEST_F(OpenViewer, ClosingEndsTheRunningEventLoop)
{
    QEventLoop loop;
    QTimer::singleShot(0, viewer.Window(), [&] { viewer.Window()->close(); });
    QTimer::singleShot(10000, &loop, [&] { loop.exit(1); });
    EXPECT_EQ(loop.exec(), 0);
}

// Draws a white sphere into the kept picture and presents it.
void DrawWhiteSphere(GlViewer& viewer)
{
    SceneState scene;
    scene.Records[BaseRecord].Colour = {1.0, 1.0, 1.0};
    FrozenClock clock;
    CompleteWalk(scene, viewer, clock).RunToEnd();
}

bool CentreIsLit(QWindow& window)
{
    const QImage seen = GrabFromScreen(window);
    // The lit side of the sphere, a little up and left of the centre.
    return !seen.isNull() && qRed(seen.pixel(310, 230)) > 100;
}

TEST_F(OpenViewer, ExposureShowsTheKeptPictureAgain)
{
    DrawWhiteSphere(viewer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return CentreIsLit(*viewer.Window()); }, 5000));

    viewer.Window()->hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.Window()->isExposed(); }, 5000));
    viewer.Window()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.Window()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return CentreIsLit(*viewer.Window()); }, 5000));
}

TEST(SingleBufferedViewer, AsksForNoDoubleBufferAndStillShowsThePicture)
{
    RecordingNavigator navigator;
    GlViewer viewer(false);
    ASSERT_TRUE(viewer.Open(navigator));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.Window()));
    EXPECT_EQ(viewer.Window()->requestedFormat().swapBehavior(), QSurfaceFormat::SingleBuffer);
    DrawWhiteSphere(viewer);
    EXPECT_TRUE(QTest::qWaitFor([&] { return CentreIsLit(*viewer.Window()); }, 5000));
}

// Small spheres fill a batch to its capacity; large, close ones end it once about a picture's worth
// of pixels is covered, so no batch keeps the rasteriser busy for long.
TEST(SphereBatch, EndsAtItsCapacityOrItsPixelBudget)
{
    SphereBatch batch;
    const Matrix4 node = Matrix4::Identity();
    for (size_t i = 1; i < SphereBatch::Capacity; ++i)
    {
        batch.Add(node, {1, 1, 1}, 10.0);
    }
    EXPECT_FALSE(batch.Full());
    batch.Add(node, {1, 1, 1}, 10.0);
    EXPECT_TRUE(batch.Full());

    batch.Clear();
    batch.Add(node, {1, 1, 1}, SphereBatch::PixelBudget / 2);
    EXPECT_FALSE(batch.Full());
    batch.Add(node, {1, 1, 1}, SphereBatch::PixelBudget / 2);
    EXPECT_TRUE(batch.Full());
    EXPECT_EQ(batch.Size(), 2u);
}

}  // namespace
}  // namespace ramifex::test
