#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QWindow>

#include "app/viewer_app.h"
#include "gui/panel_fixture.h"

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
    EXPECT_TRUE(QTest::qWaitFor(
        [&]
        {
            QWindow* window = app.Viewer().Window();
            return window != nullptr && window->isExposed() && VisiblePanel() != nullptr;
        },
        10000));
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
    EXPECT_FALSE(app.Start());
    EXPECT_EQ(VisiblePanel(), nullptr);
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
    EXPECT_FALSE(app.Start());

    // The viewer window outlives the panel; its gestures now reach the editor alone.
    const Vec3 offset = app.Editor().Scene().ViewOffset;
    QWindow* viewer = app.Viewer().Window();
    QTest::mousePress(viewer, Qt::RightButton, {}, {100, 100});
    QTest::mouseMove(viewer, {150, 80});
    QTest::mouseRelease(viewer, Qt::RightButton, {}, {150, 80});
    EXPECT_NE(app.Editor().Scene().ViewOffset, offset);
}

}  // namespace
}  // namespace ramifex::test
