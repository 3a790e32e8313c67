#pragma once

#include <cstdint>
#include <vector>

#include "core/scene/scene_state.h"

namespace ramifex
{

// How the way from one keyframe to the next is spread over its time.
enum class Easing
{
    Linear,
    EaseInOut,  // starts and ends at rest
};

// A whole scene, and how long the way to the next keyframe takes.
struct Keyframe
{
    SceneState Scene;
    double Seconds = 2.0;  // the last keyframe's counts only in a loop, back to the first
    Easing Ease = Easing::Linear;

    bool operator==(const Keyframe&) const = default;
};

// Scenes in time: keyframes, and the scenes in between. A loop goes on from the last keyframe back
// to the first, and its last frame is the one before the first comes round again.
struct Animation
{
    std::vector<Keyframe> Keyframes;
    bool Loop = false;

    bool operator==(const Animation&) const = default;
};

// From the first keyframe to the last, or in a loop back to the first.
double Duration(const Animation& animation);

// The most frames that an animation is counted to have, at any rate: 2^31 - 1, over a year at 60
// frames per second. Longer animations are refused where their frames are drawn (WithinFrameLimit).
inline constexpr int64_t MaxFrames = 2147483647;

// Frames at `fps` per second, numbered from 0 at the first keyframe. A loop's run ends one frame
// before it starts again; any other ends on the last keyframe. Never fewer than one, never more
// than MaxFrames, however long the keyframes' times.
int64_t FrameCount(const Animation& animation, int32_t fps);
// Whether the animation has at most MaxFrames frames at `fps` per second.
bool WithinFrameLimit(const Animation& animation, int32_t fps);

// The scene of frame `frame` at `fps` frames per second. A frame at a keyframe's time is that
// keyframe's scene exactly. Looks through the keyframes in turn; a FrameTimeline finds them faster.
SceneState FrameScene(const Animation& animation, int32_t fps, int64_t frame);

// An animation's frames at a rate, with the frame at which each keyframe's way starts counted once,
// so that a frame's keyframe is found by binary search. The animation must outlive it.
class FrameTimeline
{
public:
    FrameTimeline(const Animation& animation, int32_t fps);

    // FrameScene's scene of the frame.
    SceneState Scene(int64_t frame) const;

private:
    const Animation& animation_;
    int32_t fps_;
    std::vector<double> starts_;  // of each keyframe's way, in frames
};

// The scene `fraction` (0 to 1) of the way from a to b: each record's rotation along the shorter
// arc between the two, the other values in a straight line, the iteration count a's until b.
SceneState Interpolated(const SceneState& a, const SceneState& b, double fraction);

// One turn of the scene in `seconds`, about the view's vertical axis, as a steady sideways drag of
// the base record turns it.
Animation Turntable(const SceneState& scene, double seconds);

}  // namespace ramifex
