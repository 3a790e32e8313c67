#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>

#include "core/animation/animation.h"
#include "core/editor/scene_editor.h"

namespace ramifex
{

// Plays an animation in the viewer in real time: the editor shows the scene of each moment as an
// undo history's restore puts it there, so no edit is recorded, and stopping puts back the scene
// and the current record from before. An animation that does not loop stops at its end.
class AnimationPlayer final : public QObject
{
    Q_OBJECT

public:
    // The editor outlives the player.
    explicit AnimationPlayer(SceneEditor& editor);
    ~AnimationPlayer() override;

    // Plays from the start; does nothing while playing or for an animation without keyframes.
    void Play(const Animation& animation);
    void Stop();
    bool Playing() const { return ticks_.isActive(); }

signals:
    // Playing began or ended.
    void PlayingChanged();

private:
    void Tick();

    SceneEditor& editor_;
    Animation animation_;
    QTimer ticks_;
    QElapsedTimer clock_;
    std::optional<SceneState> before_;
    int32_t currentBefore_ = BaseRecord;
};

}  // namespace ramifex
