// The Animation window on a scene editor: keyframes with their pictures, playing that leaves the
// scene as it was, a video export that a cancel leaves no trace of, and undo of every keyframe
// edit.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QListView>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "gui/viewer_test_support.h"
#include "ui/animwindow/animation_window.h"

namespace ramifex::test
{
namespace
{

// Whether the keyframe's picture shows the tree, rather than nothing or a blank.
bool HasPicture(const AnimationWindow& window, int row)
{
    const QAbstractItemModel& list = *window.findChild<QListView*>()->model();
    const QIcon picture = list.data(list.index(row, 0), Qt::DecorationRole).value<QIcon>();
    return CountLit(picture.pixmap(ThumbnailSize).toImage()) > 0;
}

// A long animation lists every keyframe, but only those in view are drawn and kept.
TEST(AnimationWindow, DrawsTheKeyframesInView)
{
    SceneEditor editor;
    const int count = 2000;
    Animation animation;
    animation.Keyframes.assign(count, Keyframe{SpreadTree(4)});
    AnimationWindow window(editor);
    window.SetAnimation(animation);
    window.show();
    auto& list = *window.findChild<QListView*>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ThumbnailsDone(); }, 10000));
    EXPECT_EQ(list.model()->rowCount(), count);
    EXPECT_TRUE(HasPicture(window, 0));
    EXPECT_FALSE(HasPicture(window, count - 1));

    list.scrollToBottom();
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasPicture(window, count - 1); }, 10000));
    EXPECT_FALSE(HasPicture(window, 0));
    window.AddCurrentScene();
    EXPECT_EQ(list.model()->rowCount(), count + 1);
}

TEST(AnimationWindow, KeyframesPlayAndExport)
{
    SceneEditor editor;
    editor.OpenScene(SpreadTree(6));
    AnimationWindow window(editor);
    window.show();
    window.AddCurrentScene();
    SceneState second = SpreadTree(6);
    second.ViewOffset = {0.5, 0.0, -6.0};
    editor.OpenScene(second);
    window.AddCurrentScene();
    ASSERT_EQ(window.CurrentAnimation().Keyframes.size(), 2U);
    EXPECT_EQ(window.CurrentAnimation().Keyframes[1].Scene, second);
    window.MoveSelected(-1);
    EXPECT_EQ(window.CurrentAnimation().Keyframes[0].Scene, second);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ThumbnailsDone(); }, 10000));
    for (int row = 0; row < 2; ++row)
    {
        EXPECT_TRUE(HasPicture(window, row)) << row;
    }

    // Playing moves the scene on without an edit; stopping puts it back.
    int edits = 0;
    editor.SetRecorder([&](const SceneEdit&) { ++edits; });
    window.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor.Scene().ViewOffset[2] < -6.0; }, 5000));
    window.Stop();
    EXPECT_EQ(editor.Scene(), second);
    EXPECT_EQ(edits, 0);

    QStringList saved;
    window.SetSavedShower([&](QWidget&, const QString& path) { saved << path; });
    QTemporaryDir dir;
    const VideoSettings settings{{QSize(64, 48), 4, 1}, 10, VideoFormat::Mp4};
    const QString video = dir.filePath("cancelled.mp4");
    ASSERT_TRUE(window.StartExport(settings, video));
    const QPointer<JobProgress> cancelled = window.Export();
    QTest::mouseClick(cancelled->Progress().findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_EQ(window.Export(), nullptr);
    // Once the export has gone, so has every file it wrote.
    ASSERT_TRUE(QTest::qWaitFor([&] { return cancelled.isNull(); }, 5000));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // Through the Animation menu, its dialogs answered: a turntable replaces the keyframes, and
    // Export Video writes it where the file dialog says.
    CommandRegistry commands;
    window.BindCommands(commands);
    window.SetTurntableChooser([](QWidget&) { return 0.4; });
    window.SetTurntablePlacer([](QWidget&, size_t) { return TurntablePlace::Replace; });
    window.SetVideoChooser([&](QWidget&, const QSize&) { return settings; });
    std::vector<FileDialogKind> asked;
    window.SetFileChooser(
        [&](QWidget&, FileDialogKind kind, const QString&)
        {
            asked.push_back(kind);
            return dir.filePath("written.mp4");
        });
    commands.Action(Command::Turntable).trigger();
    EXPECT_EQ(window.CurrentAnimation(), Turntable(second, 0.4));
    commands.Action(Command::ExportVideo).trigger();
    ASSERT_NE(window.Export(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Export() == nullptr; }, 20000));
    EXPECT_EQ(asked, std::vector{FileDialogKind::ExportMp4});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"written.mp4"});
    EXPECT_EQ(saved, QStringList{dir.filePath("written.mp4")}) << "said once, not on the cancel";
}

// Every edit of the keyframes is one step that the window's keys undo and redo; a turntable asks
// before it replaces keyframes, and may go after them instead.
TEST(AnimationWindow, KeyframeEditsAreUndoneAndRedoneByTheEditKeys)
{
    SceneEditor editor;
    editor.OpenScene(SpreadTree(3));
    AnimationWindow window(editor);
    CommandRegistry commands;
    window.BindCommands(commands);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    std::vector<Animation> steps{window.CurrentAnimation()};
    const auto step = [&] { steps.push_back(window.CurrentAnimation()); };
    window.AddCurrentScene();
    step();
    SceneState second = SpreadTree(3);
    second.ViewOffset = {0.5, 0.0, -6.0};
    editor.OpenScene(second);
    window.AddCurrentScene();
    step();
    window.MoveSelected(-1);
    step();
    editor.OpenScene(SpreadTree(4));
    window.ReplaceSelected();
    step();
    auto& seconds = *window.findChild<QDoubleSpinBox*>();
    seconds.setValue(3.0);
    seconds.setValue(3.5);  // the same step, as typing is
    step();
    window.findChild<QComboBox*>()->setCurrentIndex(1);
    step();
    window.RemoveSelected();
    step();

    std::vector<size_t> asked;
    std::optional<TurntablePlace> answer;
    window.SetTurntableChooser([](QWidget&) { return 0.4; });
    window.SetTurntablePlacer(
        [&](QWidget&, size_t count)
        {
            asked.push_back(count);
            return answer;
        });
    commands.Action(Command::Turntable).trigger();
    EXPECT_EQ(window.CurrentAnimation(), steps.back()) << "cancelled";
    answer = TurntablePlace::After;
    commands.Action(Command::Turntable).trigger();
    step();
    EXPECT_EQ(asked, (std::vector<size_t>{1, 1}));
    const std::vector<Keyframe>& joined = window.CurrentAnimation().Keyframes;
    const std::vector<Keyframe> turn = Turntable(editor.Scene(), 0.4).Keyframes;
    ASSERT_EQ(joined.size(), turn.size() + 2);
    EXPECT_EQ(joined.front(), steps[steps.size() - 2].Keyframes.front());
    EXPECT_TRUE(std::equal(turn.begin(), turn.end(), joined.begin() + 1));
    EXPECT_EQ(joined.back().Scene, editor.Scene()) << "the turn ends where it starts";

    QListView& list = *window.findChild<QListView*>();
    list.setFocus();
    for (size_t back = steps.size() - 1; back > 0; --back)
    {
        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(window.CurrentAnimation(), steps[back - 1]) << back;
    }
    for (size_t forward = 1; forward < steps.size(); ++forward)
    {
        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(window.CurrentAnimation(), steps[forward]) << forward;
    }
}

}  // namespace
}  // namespace ramifex::test
