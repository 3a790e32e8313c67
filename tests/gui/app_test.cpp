#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMenuBar>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "app/viewer_app.h"
#include "gui/app_windows.h"
#include "gui/panel_fixture.h"
#include "io/scenefile/scene_file.h"

namespace ramifex::test
{
namespace
{

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
    app.Start();
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
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return LitPixels(app.Viewer().GrabPicture()) > 0; }, 10000));
            const QImage sphere = app.Viewer().GrabPicture();
            const QRgb centre = sphere.pixel(sphere.width() / 2, sphere.height() / 2);
            EXPECT_EQ(qRed(centre), qGreen(centre));
            EXPECT_EQ(qGreen(centre), qBlue(centre));
            // Every child lies at the root's centre, where it covers no pixel.
            EXPECT_TRUE(QTest::qWaitFor([&] { return !panel->WalkStatus().isEmpty(); }, 10000));
            EXPECT_TRUE(panel->WalkStatus().startsWith("1 sphere drawn, 30 left out as unseen"))
                << panel->WalkStatus().toStdString();

            // A fixed seed keeps the tree the same on every run.
            app.Editor().Seed(7);
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdRandomize)),
                              Qt::LeftButton);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return app.Viewer().GrabPicture() != sphere; }, 10000));
            // The panel's File > Quit, from the viewer's keyboard.
            QTest::keyClick(app.Viewer().Window(), Qt::Key_Q, Qt::ControlModifier);
        });
    app.Start();
    EXPECT_EQ(VisiblePanel(), nullptr);
}

// A deep walk stopped from the viewer's keyboard keeps its picture until the next edit.
TEST(ViewerApp, StopDrawingKeepsThePictureAsFarAsItGotUntilTheNextChange)
{
    ViewerApp app;
    Later(
        [&]
        {
            ControlPanel* panel = WaitForBothWindows(app);
            ASSERT_NE(panel, nullptr);
            const QAction& stop = app.Commands().Action(Command::StopDrawing);
            app.Editor().Seed(3);
            app.Editor().Randomize();
            app.Editor().SetIterations(30);
            ASSERT_TRUE(QTest::qWaitFor([&] { return stop.isEnabled(); }, 10000));
            QWindow* viewer = app.Viewer().Window();
            QTest::keyClick(viewer, Qt::Key_Period, Qt::ControlModifier);
            EXPECT_FALSE(stop.isEnabled());
            const QString status = panel->WalkStatus();
            EXPECT_TRUE(status.startsWith("Stopped at")) << status.toStdString();
            const QImage stopped = app.Viewer().GrabPicture();
            QTest::qWait(500);
            EXPECT_EQ(app.Viewer().GrabPicture(), stopped);
            EXPECT_EQ(panel->WalkStatus(), status);

            QTest::keyClick(viewer, Qt::Key_Left);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return panel->WalkStatus().startsWith("Drawing"); }, 10000));
            EXPECT_TRUE(stop.isEnabled());
            QTest::keyClick(viewer, Qt::Key_Q, Qt::ControlModifier);
        });
    app.Start();
}

// Waits until the walk after the latest edit has drawn its last sphere.
QImage FinishedPicture(ViewerApp& app, ControlPanel& panel)
{
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !panel.RedrawRequested() && app.Renderer().WalkFinished(); }, 10000));
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
    app.Start();

    // The viewer window outlives the panel; its gestures now reach the editor alone.
    const Vec3 offset = app.Editor().Scene().ViewOffset;
    QWindow* viewer = app.Viewer().Window();
    QTest::mousePress(viewer, Qt::RightButton, {}, {100, 100});
    QTest::mouseMove(viewer, {150, 80});
    QTest::mouseRelease(viewer, Qt::RightButton, {}, {150, 80});
    EXPECT_NE(app.Editor().Scene().ViewOffset, offset);
}

void TurnTheWheel(QWindow* window, QPoint pixels, QPoint angle)
{
    QWheelEvent event({320, 240}, window->mapToGlobal(QPointF(320, 240)), pixels, angle,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window, &event);
}

// Each action is undone by the shortcut pressed in whichever window has the focus; the panel's
// controls keep their own keys. Each restart of the walk normalises the axes in place, so scenes
// are taken just before the action.
TEST(ViewerApp, EachActionIsUndoneByTheShortcutOfTheFocusedWindow)
{
    ViewerApp app;
    Later(
        [&]
        {
            ControlPanel* panel = WaitForBothWindows(app);
            ASSERT_NE(panel, nullptr);
            const SceneState& scene = app.Editor().Scene();
            panel->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
            const SceneState start = scene;
            auto* randomize = qobject_cast<QPushButton*>(panel->Control(IdRandomize));
            QTest::mouseClick(randomize, Qt::LeftButton);
            const SceneState randomized = scene;
            QTest::keyClick(randomize, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(scene, start);
            QTest::keyClick(randomize, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(scene, randomized);

            auto* box = qobject_cast<QLineEdit*>(panel->Control(IdIterations));
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, "7");
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(box->text(), "5");
            EXPECT_EQ(scene, randomized) << "the box's own undo only";
            auto* angle = qobject_cast<QSlider*>(panel->Control(IdAngle));
            const int shown = angle->value();
            QTest::keyClick(angle, Qt::Key_Left);
            EXPECT_EQ(angle->value(), shown - 1) << "the slider keeps its arrow keys";
            QTest::keyClick(angle, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(angle->value(), shown);
            EXPECT_EQ(app.History().undoText(), "Randomize");
            QTest::keyClicks(box, "2");
            QTest::keyClick(angle, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(box->text(), "5");
            EXPECT_EQ(app.History().redoText(), "Set Iterations") << "showing is no edit";

            const QImage picture = FinishedPicture(app, *panel);
            const SceneState drawn = scene;
            QWindow* viewer = app.Viewer().Window();
            viewer->requestActivate();
            ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
            QTest::mousePress(viewer, Qt::LeftButton, {}, {300, 200});
            QTest::mouseMove(viewer, {320, 206});
            QTest::mouseMove(viewer, {340, 212});
            QTest::mouseRelease(viewer, Qt::LeftButton, {}, {340, 212});
            EXPECT_NE(scene, drawn);
            QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(scene, drawn);
            EXPECT_EQ(FinishedPicture(app, *panel), picture);

            // Two notches and a touchpad's pixels: one turn of the wheel.
            const SceneState unzoomed = scene;
            TurnTheWheel(viewer, {}, {0, 240});
            TurnTheWheel(viewer, {0, 30}, {0, 40});
            EXPECT_DOUBLE_EQ(scene.ViewOffset[2], unzoomed.ViewOffset[2] * std::pow(0.9, 2.25));
            const SceneState zoomed = scene;
            QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(scene, unzoomed);
            QTest::keyClick(viewer, Qt::Key_Y, Qt::ControlModifier);
            EXPECT_EQ(scene, zoomed);

            // The viewer's keys.
            QTest::keyClick(viewer, Qt::Key_Left);
            QTest::keyClick(viewer, Qt::Key_Plus, Qt::ShiftModifier);
            QTest::keyClick(viewer, Qt::Key_Home);
            EXPECT_EQ(scene.ViewOffset, SceneState{}.ViewOffset);
            EXPECT_EQ(scene.Records[BaseRecord].Angle, 0.0);
            EXPECT_EQ(app.History().undoText(), "Reset View");
            QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
            QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(app.History().undoText(), "Turn");
            QTest::keyClick(viewer, Qt::Key_Q, Qt::ControlModifier);
        });
    app.Start();
}

// In the program every command is bound to its code, so the menu bar shows every one of them.
TEST(ViewerApp, TheMenusShowEveryCommand)
{
    ViewerApp app;
    QStringList hidden;
    Later(
        [&]
        {
            ControlPanel* panel = WaitForBothWindows(app);
            ASSERT_NE(panel, nullptr);
            for (QAction* menu : panel->MenuBar()->actions())
            {
                for (QAction* entry : menu->menu()->actions())
                {
                    if (!entry->isVisible())
                    {
                        hidden << entry->text();
                    }
                }
            }
            panel->reject();
        });
    app.Start();
    EXPECT_TRUE(hidden.isEmpty()) << hidden.join(", ").toStdString();
}

QList<QFileDialog*> VisibleFileDialogs()
{
    QList<QFileDialog*> dialogs;
    for (QWidget* widget : QApplication::topLevelWidgets())
    {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
        {
            dialogs.append(dialog);
        }
    }
    return dialogs;
}

// Save As pressed in the panel opens its dialog, which waits in a loop of its own; meanwhile no
// command does anything, whichever window its key is pressed in.
TEST(ViewerApp, CommandsDoNothingWhileADialogIsOpen)
{
    ViewerApp app;
    qsizetype mostDialogs = 0;
    int looks = 0;
    // Closes any second dialog at once, so that it cannot hold the test up.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout,
                     [&]
                     {
                         ++looks;
                         const QList<QFileDialog*> dialogs = VisibleFileDialogs();
                         mostDialogs = std::max(mostDialogs, dialogs.size());
                         for (qsizetype extra = 1; extra < dialogs.size(); ++extra)
                         {
                             dialogs[extra]->reject();
                         }
                     });
    watch.start(10);
    Later(
        [&]
        {
            ControlPanel* panel = WaitForBothWindows(app);
            ASSERT_NE(panel, nullptr);
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdRandomize)),
                              Qt::LeftButton);
            panel->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
            // Once the dialog is open, the keys again in either window.
            QTimer whileOpen;
            QObject::connect(&whileOpen, &QTimer::timeout,
                             [&]
                             {
                                 if (VisibleFileDialogs().isEmpty())
                                 {
                                     return;
                                 }
                                 whileOpen.stop();
                                 QWindow* viewer = app.Viewer().Window();
                                 QTest::keyClick(viewer, Qt::Key_S,
                                                 Qt::ControlModifier | Qt::ShiftModifier);
                                 QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
                                 QTest::keyClick(panel->windowHandle(), Qt::Key_S,
                                                 Qt::ControlModifier | Qt::ShiftModifier);
                                 // Once the watch has looked twice more, whatever the keys
                                 // set going has run, and a second dialog would have been seen.
                                 const int looked = looks;
                                 EXPECT_TRUE(QTest::qWaitFor([&] { return looks >= looked + 2; }));
                                 EXPECT_TRUE(app.History().canUndo()) << "Randomize is not undone";
                                 VisibleFileDialogs().value(0)->reject();
                             });
            whileOpen.start(10);
            QTest::keyClick(panel->windowHandle(), Qt::Key_S,
                            Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(mostDialogs, 1);
            // The commands work again once the dialog is gone.
            QTest::keyClick(app.Viewer().Window(), Qt::Key_Q, Qt::ControlModifier);
        });
    app.Start();
    EXPECT_EQ(VisiblePanel(), nullptr);
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
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return app.Editor().Scene().Iterations == 6; }, 10000));
            EXPECT_EQ(app.Editor().Scene(), UnitAxesTree(6, 30.0));
            EXPECT_EQ(qobject_cast<QLineEdit*>(panel->Control(IdIterations))->text(), "6");
            EXPECT_EQ(panel->DocumentStatus(), "first.ramifex.json");
            const QImage firstPicture = FinishedPicture(app, *panel);

            ASSERT_TRUE(DropFile(*app.Viewer().Window(), dropped));
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return app.Editor().Scene().Iterations == 11; }, 10000));
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
