#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>

#include "app/viewer_app.h"
#include "gui/panel_fixture.h"
#include "scenefile/scene_file.h"

namespace ramifex::test
{
namespace
{

ControlPanel* VisiblePanel()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
    {
        if (auto* panel = qobject_cast<ControlPanel*>(widget); panel && panel->isVisible())
        {
            return panel;
        }
    }
    return nullptr;
}

int LitPixels(const QImage& picture)
{
    int lit = 0;
    for (int y = 0; y < picture.height(); ++y)
    {
        for (int x = 0; x < picture.width(); ++x)
        {
            lit += qGray(picture.pixel(x, y)) > 16 ? 1 : 0;
        }
    }
    return lit;
}

// Waits for the viewer to be on screen next to the panel.
ControlPanel* WaitForBothWindows(ViewerApp& app)
{
    EXPECT_TRUE(WaitFor(
        [&]
        {
            QWindow* window = app.Viewer().Window();
            return window != nullptr && window->isExposed() && VisiblePanel() != nullptr;
        }));
    return VisiblePanel();
}

// The program keeps no settings: what the toolkit's colour chooser remembers of a run goes with it.
TEST(ViewerApp, KeepsTheToolkitsSettingsOutOfTheUsersConfiguration)
{
    const auto toolkitSettings = [] { return QSettings(QSettings::UserScope, "QtProject"); };
    const QString usersFile = toolkitSettings().fileName();
    QString runsFolder;
    {
        ViewerApp app;
        const QString runsFile = toolkitSettings().fileName();
        EXPECT_NE(runsFile, usersFile);
        runsFolder = QFileInfo(runsFile).absolutePath();
        EXPECT_TRUE(QFileInfo(runsFolder).isDir());
    }
    EXPECT_FALSE(QFileInfo::exists(runsFolder));
}

TEST(ViewerApp, ClosingTheViewerWindowEndsTheProgram)
{
    ViewerApp app;
    bool closed = false;
    Later(
        [&]
        {
            ASSERT_NE(WaitForBothWindows(app), nullptr);
            app.Viewer().Window()->close();
            closed = true;
        });
    EXPECT_FALSE(app.Start());
    EXPECT_TRUE(closed);
    EXPECT_EQ(VisiblePanel(), nullptr);
}

TEST(ViewerApp, StartsWithOneWhiteSphereAndRandomizeGrowsATree)
{
    ViewerApp app;
    Later(
        [&]
        {
            ControlPanel* panel = WaitForBothWindows(app);
            ASSERT_NE(panel, nullptr);
            // The first picture: one white sphere in the middle of the black view.
            ASSERT_TRUE(WaitFor([&] { return LitPixels(app.Viewer().GrabPicture()) > 0; }));
            const QImage sphere = app.Viewer().GrabPicture();
            const QRgb centre = sphere.pixel(sphere.width() / 2, sphere.height() / 2);
            EXPECT_EQ(qRed(centre), qGreen(centre));
            EXPECT_EQ(qGreen(centre), qBlue(centre));
            // Every child lies at the root's centre, where it covers no pixel.
            EXPECT_TRUE(WaitFor([&] { return !panel->WalkStatus().isEmpty(); }));
            EXPECT_TRUE(panel->WalkStatus().startsWith("1 sphere drawn, 30 left out as unseen"))
                << panel->WalkStatus().toStdString();

            // A fixed seed keeps the tree the same on every run.
            app.Editor().Seed(7);
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdRandomize)),
                              Qt::LeftButton);
            EXPECT_TRUE(WaitFor([&] { return app.Viewer().GrabPicture() != sphere; }));
            // The panel's File > Quit, from the viewer's keyboard.
            QTest::keyClick(app.Viewer().Window(), Qt::Key_Q, Qt::ControlModifier);
        });
    EXPECT_FALSE(app.Start());
    EXPECT_EQ(VisiblePanel(), nullptr);
}

// Waits until the walk after the latest edit has drawn its last sphere.
QImage FinishedPicture(ViewerApp& app, ControlPanel& panel)
{
    EXPECT_TRUE(WaitFor([&] { return !panel.RedrawRequested() && app.Renderer().WalkFinished(); }));
    return app.Viewer().GrabPicture();
}

TEST(ViewerApp, DraggingInTheViewerTurnsTheObjectWhileThePanelRunsAndMovesItAfterwards)
{
    ViewerApp app;
    Later(
        [&]
        {
            ControlPanel* panel = WaitForBothWindows(app);
            ASSERT_NE(panel, nullptr);
            app.Editor().Seed(7);
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdRandomize)),
                              Qt::LeftButton);
            const QImage before = FinishedPicture(app, *panel);
            const double baseAngle = app.Editor().Scene().Records[BaseRecord].Angle;

            QWindow* viewer = app.Viewer().Window();
            const QPoint start(320, 200);
            QTest::mouseMove(viewer, start);
            QTest::mousePress(viewer, Qt::LeftButton, {}, start);
            for (int step = 1; step <= 4; ++step)
            {
                QTest::mouseMove(viewer, start + QPoint(15 * step, 5 * step));
            }
            QTest::mouseRelease(viewer, Qt::LeftButton, {}, start + QPoint(60, 20));
            EXPECT_NE(app.Editor().Scene().Records[BaseRecord].Angle, baseAngle);
            const QImage after = FinishedPicture(app, *panel);
            EXPECT_NE(after, before);

            // The panel still edits the picture.
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdRandomize)),
                              Qt::LeftButton);
            EXPECT_NE(FinishedPicture(app, *panel), after);
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdOk)), Qt::LeftButton);
        });
    EXPECT_FALSE(app.Start());

    // The viewer window outlives the panel; its gestures now reach the editor alone.
    const Vec3 offset = app.Editor().Scene().ViewOffset;
    QWindow* viewer = app.Viewer().Window();
    QTest::mousePress(viewer, Qt::RightButton, {}, {100, 100});
    QTest::mouseMove(viewer, {150, 80});
    QTest::mouseRelease(viewer, Qt::RightButton, {}, {150, 80});
    EXPECT_NE(app.Editor().Scene().ViewOffset, offset);
}

// A tree whose axes are already of unit length, so that the walk leaves the scene as it is.
SceneState UnitAxesTree(int32_t iterations, double angle)
{
    SceneState scene;
    scene.Records[BaseRecord] = {angle, {0, 1, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {40.0, {0, 0, 1}, 0.7, 1.5, {0.2, 0.9, 0.3}, 0.3};
    scene.Records[Branch2Record] = {-70.0, {1, 0, 0}, 0.65, 1.8, {0.9, 0.5, 0.1}, 0.3};
    scene.Iterations = iterations;
    return scene;
}

// The program started with a scene shows it; a scene dropped onto the viewer replaces it; and
// --render, with no display at all, draws the very picture that the viewer shows.
TEST(ViewerApp, OpensItsSceneAndADroppedOneAndRendersTheSamePictureWithoutADisplay)
{
    QTemporaryDir folder;
    const QString first = folder.filePath("first.ramifex.json");
    const QString dropped = folder.filePath("dropped.ramifex.json");
    QString error;
    ASSERT_TRUE(WriteSceneFile(first, UnitAxesTree(6, 30.0), &error));
    ASSERT_TRUE(WriteSceneFile(dropped, UnitAxesTree(11, -20.0), &error));

    ViewerApp app;
    QImage seen;
    Later(
        [&]
        {
            ControlPanel* panel = WaitForBothWindows(app);
            ASSERT_NE(panel, nullptr);
            ASSERT_TRUE(WaitFor([&] { return app.Editor().Scene().Iterations == 6; }));
            EXPECT_EQ(app.Editor().Scene(), UnitAxesTree(6, 30.0));
            EXPECT_EQ(qobject_cast<QLineEdit*>(panel->Control(IdIterations))->text(), "6");
            EXPECT_EQ(panel->DocumentStatus(), "first.ramifex.json");
            const QImage firstPicture = FinishedPicture(app, *panel);

            ASSERT_TRUE(DropFile(*app.Viewer().Window(), dropped));
            ASSERT_TRUE(WaitFor([&] { return app.Editor().Scene().Iterations == 11; }));
            EXPECT_EQ(app.Editor().Scene(), UnitAxesTree(11, -20.0));
            EXPECT_EQ(panel->DocumentStatus(), "dropped.ramifex.json");
            seen = FinishedPicture(app, *panel).convertToFormat(QImage::Format_RGB32);
            EXPECT_NE(seen, firstPicture);
            panel->reject();
        });
    app.Start(first);
    ASSERT_FALSE(seen.isNull());

    QProcess render;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    render.setProcessEnvironment(environment);
    const QString output = folder.filePath("dropped.png");
    render.start(RAMIFEX_PROGRAM, {"--render", dropped, "--output", output});
    ASSERT_TRUE(render.waitForFinished(60000));
    EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    EXPECT_TRUE(render.readAllStandardError().isEmpty());
    EXPECT_TRUE(QImage(output).convertToFormat(QImage::Format_RGB32) == seen);
}

}  // namespace
}  // namespace ramifex::test
