// Mouse navigation driven by real mouse events on the viewer's window.
#include <QTest>

#include "core/editor/scene_editor.h"
#include "core/render/tree_renderer.h"
#include "gl/viewer/gl_viewer.h"
#include "viewer_test_support.h"

namespace ramifex::test
{
namespace
{

using Call = RecordingNavigator::Call;
using Calls = std::vector<Call>;

class Navigation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(viewer.Open(navigator));
        window = viewer.Window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }

    // A mouse move carrying the buttons pressed so far and the given keys. (QTest::mouseMove
    // would drop the keys, and would turn (0, 0) into the window's centre.)
    void Move(QPoint position, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QTest::mouseEvent(QTest::MouseMove, window, Qt::NoButton, keys, position);
    }

    RecordingNavigator navigator;
    GlViewer viewer;
    QWindow* window = nullptr;
};

TEST_F(Navigation, MovesWithoutButtonsOnlyTrack)
{
    Move({120, 80});
    EXPECT_EQ(viewer.Tracker().Dx, 120);
    EXPECT_EQ(viewer.Tracker().Dy, 80);
    Move({130, 60});
    EXPECT_EQ(viewer.Tracker().Dx, 10);
    EXPECT_EQ(viewer.Tracker().Dy, -20);
    EXPECT_TRUE(navigator.Calls.empty());
}

TEST_F(Navigation, LeftDragTurnsBaseAndShiftLeftDragTurnsCurrentRecord)
{
    Move({120, 80});
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, {120, 80});
    Move({130, 75});
    Move({130, 75});  // no movement: nothing
    Move({125, 75}, Qt::ShiftModifier);
    QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, {125, 75});
    Move({127, 76});  // both buttons: the left wins
    QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, {127, 76});
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, {127, 76});
    Move({140, 90});

    // From the first press to the last release: one gesture.
    EXPECT_EQ(navigator.Calls, (Calls{{"BeginGesture"},
                                      {"RotateBaseRecord", 10, -5},
                                      {"RotateCurrentRecord", -5, 0},
                                      {"RotateBaseRecord", 2, 1},
                                      {"EndGesture"}}));
    EXPECT_EQ(navigator.Redraws, 0);
}

TEST_F(Navigation, RightDragMovesTheView)
{
    Move({200, 200});
    QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, {200, 200});
    Move({210, 195});
    Move({220, 190}, Qt::ShiftModifier);
    QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, {220, 190});

    EXPECT_EQ(navigator.Calls, (Calls{{"BeginGesture"},
                                      {"MoveView", 10 * 0.01, -5 * -0.01, 0.0},
                                      {"MoveView", 0.1, 0.0, -0.05},
                                      {"EndGesture"}}));
}

TEST_F(Navigation, DragLeavingTheWindowGoesOnWithSignedPositions)
{
    Move({5, 40});
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, {5, 40});
    Move({-3, 40});
    Move({-20, -10});
    Move({50, 60});  // back inside: one movement from the last position seen outside
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, {50, 60});

    EXPECT_EQ(navigator.Calls, (Calls{{"BeginGesture"},
                                      {"RotateBaseRecord", -8, 0},
                                      {"RotateBaseRecord", -17, -50},
                                      {"RotateBaseRecord", 70, 70},
                                      {"EndGesture"}}));
}

TEST(NavigationPicture, LeftDragTurnsThePicture)
{
    SceneEditor editor;
    editor.Seed(1);
    editor.Randomize();
    GlViewer viewer;
    ASSERT_TRUE(viewer.Open(editor));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.Window()));
    FrozenClock clock;
    TreeRenderer renderer(editor.SceneForWalk(), viewer, clock);
    renderer.FrameTick(editor.RedrawFlag());
    renderer.FrameTick(editor.RedrawFlag());
    const QImage before = viewer.GrabPicture();

    QTest::mouseEvent(QTest::MouseMove, viewer.Window(), Qt::NoButton, {}, {100, 240});
    QTest::mousePress(viewer.Window(), Qt::LeftButton, {}, {100, 240});
    QTest::mouseEvent(QTest::MouseMove, viewer.Window(), Qt::NoButton, {}, {400, 240});
    QTest::mouseRelease(viewer.Window(), Qt::LeftButton, {}, {400, 240});
    ASSERT_TRUE(editor.RedrawRequested());
    renderer.FrameTick(editor.RedrawFlag());
    renderer.FrameTick(editor.RedrawFlag());
    EXPECT_FALSE(viewer.GrabPicture() == before);
}

}  // namespace
}  // namespace ramifex::test
