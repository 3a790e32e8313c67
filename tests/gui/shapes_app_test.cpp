// The program as a new user meets it: the panel beside the picture, framing the whole tree, and
// the last session kept and offered back.
#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <cmath>

#include "app/viewer_app.h"
#include "core/render/tree_framing.h"
#include "gui/app_windows.h"
#include "gui/panel_fixture.h"
#include "io/recovery/last_session.h"
#include "io/scenefile/scene_file.h"

namespace ramifex::test
{
namespace
{

// Equal but for the last bits of the axes: the walk normalises them in place whenever it ticks,
// which changes no picture.
bool SameScene(const SceneState& a, SceneState b)
{
    for (size_t r = 0; r < b.Records.size(); ++r)
    {
        for (int i = 0; i < 3; ++i)
        {
            Vec3 axis = a.Records[r].Axis;
            NormaliseAxis(axis);
            NormaliseAxis(b.Records[r].Axis);
            if (std::abs(axis[i] - b.Records[r].Axis[i]) > 1e-12)
            {
                return false;
            }
        }
        b.Records[r].Axis = a.Records[r].Axis;
    }
    return a == b;
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
            const SceneState randomized = app.Editor().Scene();
            QTest::keyClick(viewer, Qt::Key_F);
            EXPECT_EQ(app.Editor().Scene().ViewOffset, Framed(app));
            EXPECT_NE(app.Editor().Scene().ViewOffset, randomized.ViewOffset);
            QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_TRUE(SameScene(app.Editor().Scene(), randomized));

            const SceneState before = app.Editor().Scene();
            app.Commands().Action(Command::FrameAfterRandomize).trigger();
            QTest::mouseClick(qobject_cast<QPushButton*>(panel->Control(IdRandomize)),
                              Qt::LeftButton);
            EXPECT_EQ(app.Editor().Scene().ViewOffset, Framed(app));
            QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_TRUE(SameScene(app.Editor().Scene(), before));
            QTest::keyClick(viewer, Qt::Key_Q, Qt::ControlModifier);
        });
    app.Start();
}

// A run's scene is kept while it changes and when it ends; a run started with a scene keeps
// nothing; Restore Last Session brings the kept scene back as one step, named on the status line.
TEST(ShapesApp, TheLastSessionIsKeptAndRestored)
{
    constexpr int KeepMs = 100;
    const QTemporaryDir dir;
    const QString kept = dir.filePath("last.ramifex.json");
    const auto run =
        [&](const QString& scene, const std::function<void(ViewerApp&, ControlPanel&)>& use)
    {
        ViewerApp app;
        app.SetSessionPath(kept, KeepMs);
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
    const auto randomize = [](ViewerApp&, ControlPanel& panel)
    { QTest::mouseClick(qobject_cast<QPushButton*>(panel.Control(IdRandomize)), Qt::LeftButton); };

    run({}, [](ViewerApp&, ControlPanel& panel)
        { EXPECT_EQ(panel.DocumentStatus(), "New scene, not saved"); });
    EXPECT_FALSE(QFileInfo::exists(kept)) << "nothing changed, nothing kept";
    SceneState ended;
    run({},
        [&](ViewerApp& app, ControlPanel& panel)
        {
            randomize(app, panel);
            EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(kept); }, 50 * KeepMs))
                << "kept while it runs";
            ended = app.Editor().Scene();
        });
    QString error;
    const std::optional<LastSession> session = ReadLastSession(kept, &error);
    ASSERT_TRUE(session.has_value()) << error.toStdString();
    EXPECT_TRUE(SameScene(session->Scene, ended));
    EXPECT_TRUE(session->File.isEmpty());
    EXPECT_TRUE(session->Unsaved);

    const QString scene = dir.filePath("tree.ramifex.json");
    ASSERT_TRUE(WriteSceneFile(scene, SceneState{}, &error));
    // A run with a scene of its own keeps nothing, not even when it ends, where a run that keeps
    // always keeps what changed: its end shows that no keep came.
    const QDateTime keptAt = QFileInfo(kept).lastModified();
    run(scene,
        [&](ViewerApp& app, ControlPanel& panel)
        {
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return panel.DocumentStatus() == "tree.ramifex.json"; }));
            randomize(app, panel);
        });
    EXPECT_EQ(QFileInfo(kept).lastModified(), keptAt);

    run({},
        [&](ViewerApp& app, ControlPanel& panel)
        {
            // The start after a run that ended with unsaved changes says they can come back.
            EXPECT_EQ(panel.DocumentStatus(),
                      "The last session's unsaved changes were kept: "
                      "File > Restore Last Session (Ctrl+Shift+R)");
            const SceneState start = app.Editor().Scene();
            QTest::keyClick(app.Viewer().Window(), Qt::Key_R,
                            Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_TRUE(SameScene(app.Editor().Scene(), ended));
            EXPECT_EQ(panel.DocumentStatus(), "Last session: New scene, unsaved changes");
            QTest::keyClick(app.Viewer().Window(), Qt::Key_Z, Qt::ControlModifier);
            EXPECT_TRUE(SameScene(app.Editor().Scene(), start));
        });

    // A damaged kept file says why, and the scene stays.
    QFile damaged(kept);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("[1, 2]");
    damaged.close();
    run({},
        [&](ViewerApp& app, ControlPanel&)
        {
            const SceneState start = app.Editor().Scene();
            QString said;
            Later(
                [&]
                {
                    auto* box = VisibleTopLevel<QMessageBox>();
                    ASSERT_NE(box, nullptr);
                    said = box->text();
                    box->accept();
                });
            app.Commands().Action(Command::RestoreLastSession).trigger();
            EXPECT_TRUE(said.contains("does not hold a JSON object")) << said.toStdString();
            EXPECT_TRUE(SameScene(app.Editor().Scene(), start));
        });
}

}  // namespace
}  // namespace ramifex::test
