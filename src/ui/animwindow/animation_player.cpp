#include "ui/animwindow/animation_player.h"

namespace ramifex
{
namespace
{

constexpr int TickMs = 40;

}  // namespace

AnimationPlayer::AnimationPlayer(SceneEditor& editor) : editor_(editor)
{
    connect(&ticks_, &QTimer::timeout, this, &AnimationPlayer::Tick);
}

AnimationPlayer::~AnimationPlayer()
{
    Stop();
}

void AnimationPlayer::Play(const Animation& animation)
{
    if (Playing() || animation.Keyframes.empty())
    {
        return;
    }
    animation_ = animation;
    before_ = editor_.Scene();
    currentBefore_ = editor_.Current();
    clock_.start();
    ticks_.start(TickMs);
    emit PlayingChanged();
    Tick();
}

void AnimationPlayer::Stop()
{
    if (!Playing())
    {
        return;
    }
    ticks_.stop();
    editor_.Restore(*before_, currentBefore_);
    before_.reset();
    emit PlayingChanged();
}

// The scene of this moment, as a frame of a thousand frames a second.
void AnimationPlayer::Tick()
{
    constexpr int32_t Millisecond = 1000;
    const int64_t elapsed = clock_.elapsed();
    const int64_t frames = FrameCount(animation_, Millisecond);
    if (!animation_.Loop && elapsed >= frames)
    {
        Stop();
        return;
    }
    editor_.Restore(FrameScene(animation_, Millisecond, elapsed % frames), std::nullopt);
}

}  // namespace ramifex
