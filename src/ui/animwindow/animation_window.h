#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "core/animation/animation.h"
#include "core/editor/scene_editor.h"
#include "ui/commands/command_registry.h"
#include "ui/export/video_export.h"
#include "ui/export/video_settings_dialog.h"

namespace ramifex
{

// The Animation window: the keyframes as a list with small pictures of their scenes, drawn by a
// render job; adding the editor's scene, replacing, removing and reordering keyframes, the time
// and easing of each; a turntable of the editor's scene; playing the animation in the viewer in
// real time; opening and saving animations; and exporting a video while both windows go on.
// Playing puts scenes into the editor as an undo history's restore does, so no edit is recorded,
// and stopping puts back the scene from before.
class AnimationWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit AnimationWindow(SceneEditor& editor, QWidget* parent = nullptr);
    ~AnimationWindow() override;

    // The Animation menu's commands: showing this window, a turntable, Play and Stop, Export
    // Video.
    void BindCommands(CommandRegistry& commands);

    const Animation& CurrentAnimation() const { return animation_; }
    void SetAnimation(const Animation& animation);

    void AddCurrentScene();
    void ReplaceSelected();
    void RemoveSelected();
    // Moves the selected keyframe `by` places, up when negative.
    void MoveSelected(int by);
    void MakeTurntable(double seconds);

    void Play();
    void Stop();
    bool Playing() const { return play_.isActive(); }

    // Every failure is reported in a message box, naming the file.
    bool OpenAnimation(const QString& path);
    bool SaveAnimation(const QString& path);
    // Starts writing the animation's frames; false, reported, when it cannot start.
    bool StartExport(const VideoSettings& settings, const QString& path);
    VideoExport* Export() const { return export_; }
    // The thumbnails are all drawn.
    bool ThumbnailsDone() const { return !thumbnails_; }

private:
    void BuildLayout();
    void ShowKeyframes(int select);
    void ShowSelected();
    void EditSelected();
    void DrawThumbnails();
    void TickThumbnails();
    void PlayTick();
    void Report(const QString& error);
    void ChooseOpen();
    void ChooseSave();
    void ChooseTurntable();
    void ChooseExport();
    void ShowPlaying();

    SceneEditor& editor_;
    Animation animation_;
    QListWidget* keyframes_;
    QDoubleSpinBox* seconds_;
    QComboBox* easing_;
    QCheckBox* loop_;
    QPushButton* playButton_;
    QPushButton* exportButton_;
    std::unique_ptr<RenderJob> thumbnails_;
    QTimer thumbnailTicks_;
    QTimer play_;
    QElapsedTimer playClock_;
    std::optional<SceneState> beforePlay_;
    int32_t currentBeforePlay_ = BaseRecord;
    QPointer<VideoExport> export_;
    QAction* playCommand_ = nullptr;
};

}  // namespace ramifex
