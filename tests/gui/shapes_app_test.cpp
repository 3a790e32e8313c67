// The program as a new user meets it: the panel beside the picture, framing the whole tree, and
// the last session kept and offered back.
#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

#include "app/viewer_app.h"
#include "gui/panel_fixture.h"
#include "recovery/last_session.h"
#include "render/tree_framing.h"
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

// The walk normalises the axes in place, which changes no picture.
SceneState Normalised(SceneState scene)
{
    for (BranchParams& record : scene.Records)
    {
        NormaliseAxis(record.Axis);
    }
    return scene;
}

Vec3 Framed(ViewerApp& app)
{
    const QSize size = app.Viewer().PictureSize();
    return FramingViewOffset(app.Editor().Scene(), size.width(), size.height()).value();
}

// The panel starts beside the viewer, not over it. F frames the tree as one step; with Frame
// After Randomize, Randomize frames its tree in the same step.
TEST(ShapesApp, PanelBesideTheViewerAndFramingTheWholeTree)
{
    ViewerApp app;
    Later(
        [&]
        {
            ControlPanel* panel = WaitForBothWindows(app);
            ASSERT_NE(panel, nullptr);
            QWindow* viewer = app.Viewer().Window();
            EXPECT_FALSE(panel->frameGeometry().intersects(viewer->frameGeometry()));
            EXPECT_TRUE(viewer->screen()->availableGeometry().contains(panel->frameGeometry()));

            app.Editor().Seed(3);
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdRandomize)),
                              Qt::LeftButton);
            const SceneState randomised = app.Editor().Scene();
            QTest::keyClick(viewer, Qt::Key_F);
            EXPECT_EQ(app.Editor().Scene().ViewOffset, Framed(app));
            EXPECT_NE(app.Editor().Scene().ViewOffset, randomised.ViewOffset);
            QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(app.Editor().Scene(), randomised);

            const SceneState before = app.Editor().Scene();
            app.Commands().Action(Command::FrameAfterRandomize).trigger();
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdRandomize)),
                              Qt::LeftButton);
            EXPECT_EQ(app.Editor().Scene().ViewOffset, Framed(app));
            QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(app.Editor().Scene(), before);
            QTest::keyClick(viewer, Qt::Key_Q, Qt::ControlModifier);
        });
    app.Start();
}

// A run's scene is kept when it ends; a run started with a scene keeps nothing; Restore Last
// Session brings the kept scene back as one step, named on the status line.
TEST(ShapesApp, TheLastSessionIsKeptAndRestored)
{
    const QTemporaryDir dir;
    const QString kept = dir.filePath("last.ramifex.json");
    const auto run =
        [&](const QString& scene, const std::function<void(ViewerApp&, ControlPanel&)>& use)
    {
        ViewerApp app;
        app.SetSessionPath(kept);
        Later(
            [&]
            {
                ControlPanel* panel = WaitForBothWindows(app);
                ASSERT_NE(panel, nullptr);
                use(app, *panel);
                QTest::keyClick(app.Viewer().Window(), Qt::Key_Q, Qt::ControlModifier);
            });
        app.Start(scene);
    };
    const auto randomise = [](ViewerApp&, ControlPanel& panel)
    { QTest::mouseClick(qobject_cast<QPushButton*>(panel.Control(IdRandomize)), Qt::LeftButton); };

    run({}, [](ViewerApp&, ControlPanel&) {});
    EXPECT_FALSE(QFileInfo::exists(kept)) << "nothing changed, nothing kept";
    SceneState ended;
    run({},
        [&](ViewerApp& app, ControlPanel& panel)
        {
            randomise(app, panel);
            ended = app.Editor().Scene();
        });
    QString error;
    ASSERT_EQ(ReadLastSession(kept, &error), (LastSession{Normalised(ended), {}, true}));

    const QString scene = dir.filePath("tree.ramifex.json");
    ASSERT_TRUE(WriteSceneFile(scene, SceneState{}, &error));
    const QDateTime keptAt = QFileInfo(kept).lastModified();
    run(scene, randomise);
    EXPECT_EQ(QFileInfo(kept).lastModified(), keptAt);

    run({},
        [&](ViewerApp& app, ControlPanel& panel)
        {
            const SceneState start = Normalised(app.Editor().Scene());
            QTest::keyClick(app.Viewer().Window(), Qt::Key_R,
                            Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(app.Editor().Scene(), Normalised(ended));
            EXPECT_EQ(panel.DocumentStatus(), "Last session: New scene, unsaved changes");
            QTest::keyClick(app.Viewer().Window(), Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(Normalised(app.Editor().Scene()), start);
        });
}

}  // namespace
}  // namespace ramifex::test
