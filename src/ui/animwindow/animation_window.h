#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "core/animation/animation.h"
#include "core/editor/scene_editor.h"
#include "gl/jobs/video_job.h"
#include "ui/animwindow/animation_player.h"
#include "ui/animwindow/keyframe_list.h"
#include "ui/commands/command_registry.h"
#include "ui/document/file_dialogs.h"
#include "ui/export/job_progress.h"
#include "ui/gallery/thumbnail_drawer.h"

namespace ramifex
{

// Asks what Export Video draws and writes, sizes up to the largest picture; none when cancelled.
using VideoChooser =
    std::function<std::optional<VideoSettings>(QWidget& owner, const QSize& largest)>;
// Asks how long a turntable's turn takes, in seconds; none when cancelled.
using TurntableChooser = std::function<std::optional<double>(QWidget& owner)>;
// Where a turntable goes in an animation that has keyframes.
enum class TurntablePlace
{
    Replace,  // the turntable alone
    After,    // after the keyframes, ending where it starts
};
// Says where a finished video was saved (`path`, a numbered picture's pattern for pictures).
using SavedShower = std::function<void(QWidget& owner, const QString& path)>;
// Asks where a turntable goes among this many keyframes; none when cancelled.
using TurntablePlacer = std::function<std::optional<TurntablePlace>(QWidget& owner, size_t count)>;

// The Animation window: the keyframes as a list with small pictures of their scenes; adding the
// editor's scene, replacing, removing and reordering keyframes, the time and easing of each; a
// turntable of the editor's scene; playing the animation in the viewer; opening and saving
// animations; and exporting a video while both windows go on. Every change of the keyframes is a
// step of the window's own undo history, on the Edit menu's keys. Its dialogs can be replaced, so
// that tests answer in place of the user.
class AnimationWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit AnimationWindow(SceneEditor& editor, QWidget* parent = nullptr);
    ~AnimationWindow() override;

    // The Animation menu's commands: showing this window (the first time beside `beside`, when
    // there is one), a turntable, Play and Stop, Export Video; and the keys of Edit > Undo and
    // Redo, which undo and redo here the keyframes' edits.
    void BindCommands(CommandRegistry& commands, const QWidget* beside = nullptr);

    const Animation& CurrentAnimation() const { return animation_; }
    // Replaces the animation, as opening a file does.
    void SetAnimation(const Animation& animation);

    void AddCurrentScene();
    void ReplaceSelected();
    void RemoveSelected();
    // Moves the selected keyframe `by` places, up when negative.
    void MoveSelected(int by);
    void MakeTurntable(double seconds, TurntablePlace place = TurntablePlace::Replace);

    void Play() { player_.Play(animation_); }
    void Stop() { player_.Stop(); }
    bool Playing() const { return player_.Playing(); }

    // Every failure is reported in a message box, naming the file.
    bool OpenAnimation(const QString& path);
    bool SaveAnimation(const QString& path);
    // Starts writing the animation's frames; false, reported, when it cannot start.
    bool StartExport(const VideoSettings& settings, const QString& path);
    JobProgress* Export() const { return export_; }
    // The thumbnails of the keyframes in view are all drawn.
    bool ThumbnailsDone() const { return !thumbnails_.Drawing() && !inView_.isActive(); }

    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void SetVideoChooser(VideoChooser chooser) { chooseVideo_ = std::move(chooser); }
    void SetTurntableChooser(TurntableChooser chooser) { chooseTurntable_ = std::move(chooser); }
    void SetTurntablePlacer(TurntablePlacer placer) { placeTurntable_ = std::move(placer); }
    void SetSavedShower(SavedShower shower) { showSaved_ = std::move(shower); }
    void SetWarningShower(WarningShower shower) { warn_ = std::move(shower); }

private:
    void BuildLayout();
    // Makes `change` to the animation one step of the undo history, merged with the step before
    // when both name the same mergeRow.
    void Edit(const QString& action, const std::function<void()>& change, int mergeRow = -1);
    void ReplaceAnimation(const QString& action, const Animation& animation);
    void ShowAnimation(const Animation& animation, int select);
    int CurrentRow() const { return keyframes_->currentIndex().row(); }
    void ShowKeyframes(int select);
    void ShowSelected();
    void EditSelected(const QString& action);
    void DrawThumbnailsInView();
    void ShowThumbnail(size_t index, const QImage& picture);
    void Report(const QString& error);
    void ChooseOpen();
    void ChooseSave();
    void ChooseTurntable();
    void ChooseExport();
    void ShowPlaying();

    SceneEditor& editor_;
    Animation animation_;
    KeyframeList keyframeList_;
    QListView* keyframes_;
    QDoubleSpinBox* seconds_;
    QComboBox* easing_;
    QCheckBox* loop_;
    QPushButton* playButton_;
    QPushButton* exportButton_;
    ThumbnailDrawer thumbnails_;
    std::vector<int> drawing_;  // the row of each thumbnail being drawn
    QTimer inView_;             // draws the thumbnails in view once the list has moved
    AnimationPlayer player_;
    QPointer<JobProgress> export_;
    QAction* playCommand_ = nullptr;
    FileChooser chooseFile_;
    VideoChooser chooseVideo_;
    TurntableChooser chooseTurntable_;
    TurntablePlacer placeTurntable_;
    SavedShower showSaved_;
    WarningShower warn_;
    QUndoStack history_;
};

}  // namespace ramifex
