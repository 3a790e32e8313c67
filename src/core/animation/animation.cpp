#include "core/animation/animation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "core/scene/quaternion.h"

namespace ramifex
{
namespace
{

// A keyframe's frame is found with this much slack, so that sums of times such as 0.1 + 0.2 still
// land on it.
constexpr double FrameSlack = 1e-6;

// A quarter turn for each keyframe of a turntable: the shorter arc between two of them is the
// drag's own.
constexpr int32_t TurntableSteps = 4;

double Eased(Easing easing, double fraction)
{
    return easing == Easing::Linear ? fraction : fraction * fraction * (3.0 - 2.0 * fraction);
}

double Mix(double a, double b, double fraction)
{
    return a + (b - a) * fraction;
}

Vec3 Mix(const Vec3& a, const Vec3& b, double fraction)
{
    return {Mix(a[0], b[0], fraction), Mix(a[1], b[1], fraction), Mix(a[2], b[2], fraction)};
}

Quaternion RotationOf(const BranchParams& record)
{
    Vec3 axis = record.Axis;
    NormaliseAxis(axis);
    Quaternion rotation;
    rotation.Set(record.Angle, axis[0], axis[1], axis[2]);
    rotation.FromAngleAxis();
    return rotation;
}

// Spherical interpolation along the shorter of the two arcs from a to b (q and -q are one turn).
Quaternion Slerp(const Quaternion& a, const Quaternion& b, double fraction)
{
    const auto& p = a.Slots();
    std::array<double, 4> q = b.Slots();
    double cosine = p[0] * q[0] + p[1] * q[1] + p[2] * q[2] + p[3] * q[3];
    if (cosine < 0.0)
    {
        cosine = -cosine;
        for (double& slot : q)
        {
            slot = -slot;
        }
    }
    double wa = 1.0 - fraction;
    double wb = fraction;
    // Nearly equal rotations: the straight line is as good and avoids dividing by a tiny sine.
    if (cosine < 0.9999)
    {
        const double angle = std::acos(cosine);
        wa = std::sin((1.0 - fraction) * angle) / std::sin(angle);
        wb = std::sin(fraction * angle) / std::sin(angle);
    }
    Quaternion result;
    result.Set(wa * p[0] + wb * q[0], wa * p[1] + wb * q[1], wa * p[2] + wb * q[2],
               wa * p[3] + wb * q[3]);
    result.Normalise();
    return result;
}

BranchParams Interpolated(const BranchParams& a, const BranchParams& b, double fraction)
{
    BranchParams record = a;
    // A rotation that stays keeps its values exactly, rather than as the arithmetic returns them.
    if (a.Angle != b.Angle || a.Axis != b.Axis)
    {
        Quaternion rotation = Slerp(RotationOf(a), RotationOf(b), fraction);
        rotation.ToAngleAxis();
        const auto& [angle, x, y, z] = rotation.Slots();
        record.Angle = angle > 180.0 ? angle - 360.0 : angle;
        if (x != 0.0 || y != 0.0 || z != 0.0)
        {
            record.Axis = {x, y, z};  // no turn at all keeps a's axis
        }
    }
    record.Scale = Mix(a.Scale, b.Scale, fraction);
    record.Offset = Mix(a.Offset, b.Offset, fraction);
    record.Colour = Mix(a.Colour, b.Colour, fraction);
    record.Ratio = Mix(a.Ratio, b.Ratio, fraction);
    return record;
}

// The seconds each keyframe's way takes; the last's counts in a loop only.
double WaySeconds(const Animation& animation, size_t keyframe)
{
    const bool last = keyframe + 1 == animation.Keyframes.size();
    return last && !animation.Loop ? 0.0 : animation.Keyframes[keyframe].Seconds;
}

// The frames at `fps` per second, unrounded.
double UnroundedFrames(const Animation& animation, int32_t fps)
{
    return Duration(animation) * fps;
}

// The scene of the frame, looking through the keyframes from `first`, whose way starts at frame
// `start`: the first keyframe at the frame's time, or whose way holds it.
SceneState SceneFrom(const Animation& animation, int32_t fps, int64_t frame, size_t first,
                     double start)
{
    const std::vector<Keyframe>& keys = animation.Keyframes;
    for (size_t i = first; i < keys.size(); ++i)
    {
        const double length = WaySeconds(animation, i) * fps;
        const double into = static_cast<double>(frame) - start;
        if (std::abs(into) < FrameSlack)
        {
            return keys[i].Scene;
        }
        if (into < length)
        {
            const SceneState& next = keys[(i + 1) % keys.size()].Scene;
            return Interpolated(keys[i].Scene, next, Eased(keys[i].Ease, into / length));
        }
        start += length;
    }
    return animation.Loop ? keys.front().Scene : keys.back().Scene;
}

}  // namespace

double Duration(const Animation& animation)
{
    double seconds = 0.0;
    for (size_t i = 0; i < animation.Keyframes.size(); ++i)
    {
        seconds += WaySeconds(animation, i);
    }
    return seconds;
}

int64_t FrameCount(const Animation& animation, int32_t fps)
{
    const double frames = UnroundedFrames(animation, fps);
    // Compared before any conversion, which past int64_t's range would be undefined.
    if (!(frames < static_cast<double>(MaxFrames)))
    {
        return MaxFrames;
    }
    if (animation.Loop)
    {
        return std::max<int64_t>(1, std::llround(frames));
    }
    return std::min(MaxFrames, static_cast<int64_t>(std::floor(frames + FrameSlack)) + 1);
}

bool WithinFrameLimit(const Animation& animation, int32_t fps)
{
    return UnroundedFrames(animation, fps) < static_cast<double>(MaxFrames - 1);
}

SceneState Interpolated(const SceneState& a, const SceneState& b, double fraction)
{
    SceneState scene = a;
    for (size_t i = 0; i < scene.Records.size(); ++i)
    {
        scene.Records[i] = Interpolated(a.Records[i], b.Records[i], fraction);
    }
    scene.ViewOffset = Mix(a.ViewOffset, b.ViewOffset, fraction);
    return scene;
}

SceneState FrameScene(const Animation& animation, int32_t fps, int64_t frame)
{
    return SceneFrom(animation, fps, frame, 0, 0.0);
}

FrameTimeline::FrameTimeline(const Animation& animation, int32_t fps)
    : animation_(animation), fps_(fps)
{
    double start = 0.0;  // summed as SceneFrom sums it, so that both give the same frames
    for (size_t i = 0; i < animation.Keyframes.size(); ++i)
    {
        starts_.push_back(start);
        start += WaySeconds(animation, i) * fps;
    }
}

SceneState FrameTimeline::Scene(int64_t frame) const
{
    // The ways before the last one that starts over a slack before the frame end before it too.
    const auto after =
        std::upper_bound(starts_.begin(), starts_.end(), static_cast<double>(frame) - FrameSlack);
    const auto first =
        static_cast<size_t>(std::max<std::ptrdiff_t>(0, after - starts_.begin() - 1));
    return SceneFrom(animation_, fps_, frame, first, first < starts_.size() ? starts_[first] : 0.0);
}

Animation Turntable(const SceneState& scene, double seconds)
{
    Animation turntable{{}, true};
    BranchParams base = scene.Records[BaseRecord];
    for (int32_t step = 0; step < TurntableSteps; ++step)
    {
        SceneState turned = scene;
        turned.Records[BaseRecord] = base;
        turntable.Keyframes.push_back({turned, seconds / TurntableSteps, Easing::Linear});
        RotateByDrag(360.0 / TurntableSteps, 0.0, base);
    }
    return turntable;
}

}  // namespace ramifex
