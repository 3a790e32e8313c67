// Keyframes and the scenes between them, turntables, and animation files.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <utility>

#include "core/animation/animation.h"
#include "core/scene/quaternion.h"
#include "io/animationfile/animation_file.h"
#include "io/scenefile/scene_json.h"

namespace ramifex
{
namespace
{

SceneState Tree(double angle, double scale)
{
    SceneState scene;
    scene.Iterations = 7;
    scene.Records[BaseRecord] = {angle, {0.0, 1.0, 0.2}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {40.0, {0.0, 0.0, 1.0}, scale, 1.5, {0.2, 0.9, 0.3}, 0.3};
    scene.Records[Branch2Record] = {-70.0, {1.0, 0.0, 0.0}, 0.65, 1.8, {0.9, 0.5, 0.1}, 0.3};
    return scene;
}

// The rotation's quaternion, with the sign that makes w at least 0: q and -q are one rotation.
std::array<double, 4> Rotation(const BranchParams& record)
{
    Quaternion rotation;
    const double length = std::hypot(record.Axis[0], record.Axis[1], record.Axis[2]);
    rotation.Set(record.Angle, record.Axis[0] / length, record.Axis[1] / length,
                 record.Axis[2] / length);
    rotation.FromAngleAxis();
    std::array<double, 4> parts = rotation.Slots();
    if (parts[0] < 0.0)
    {
        for (double& slot : parts)
        {
            slot = -slot;
        }
    }
    return parts;
}

void ExpectSameRotation(const BranchParams& a, const BranchParams& b)
{
    const auto p = Rotation(a);
    const auto q = Rotation(b);
    for (size_t i = 0; i < 4; ++i)
    {
        EXPECT_NEAR(p[i], q[i], 1e-9) << "slot " << i;
    }
}

TEST(Animation, KeyframeFramesAreTheKeyframesAndTheWayBetweenIsInterpolated)
{
    SceneState last = Tree(120.0, 0.5);
    last.Iterations = 9;
    last.ViewOffset = {1.0, 2.0, -6.0};
    const Animation animation{{{Tree(10.0, 0.7), 0.1, Easing::Linear},
                               {Tree(-30.0, 0.9), 0.2, Easing::EaseInOut},
                               {last, 5.0, Easing::Linear}}};
    // 0.1 + 0.2 seconds at 30 per second: frames 0, 3 and 9 are the keyframes.
    ASSERT_EQ(FrameCount(animation, 30), 10);
    EXPECT_EQ(FrameScene(animation, 30, 0), animation.Keyframes[0].Scene);
    EXPECT_EQ(FrameScene(animation, 30, 3), animation.Keyframes[1].Scene);
    EXPECT_EQ(FrameScene(animation, 30, 9), last);

    // Halfway through the eased way, linear values are halfway; the iteration count is the
    // earlier keyframe's until the later one is reached.
    const SceneState middle = FrameScene(animation, 30, 6);
    EXPECT_NEAR(middle.Records[Branch1Record].Scale, 0.7, 1e-12);
    EXPECT_NEAR(middle.ViewOffset[2], -8.0, 1e-12);
    EXPECT_EQ(middle.Iterations, 7);
    // A third of the linear way covers a third of the distance. A sixth of the eased way
    // (3t^2 - 2t^3) from 0.9 to 0.5 covers 2/27 of it, where a linear one would cover a sixth, and
    // five sixths 25/27.
    const std::pair<int64_t, double> scales[] = {
        {1, 0.7 + 0.2 / 3.0}, {4, 0.9 - 0.4 * 2.0 / 27.0}, {8, 0.9 - 0.4 * 25.0 / 27.0}};
    for (const auto& [frame, scale] : scales)
    {
        EXPECT_NEAR(FrameScene(animation, 30, frame).Records[Branch1Record].Scale, scale, 1e-9)
            << "frame " << frame;
    }
}

TEST(Animation, RotationsTakeTheShorterArc)
{
    // 170 and -170 degrees about one axis are 20 degrees apart through 180, not 340 through 0.
    const SceneState a = Tree(170.0, 0.7);
    const SceneState b = Tree(-170.0, 0.7);
    const BranchParams middle = Interpolated(a, b, 0.5).Records[BaseRecord];
    EXPECT_NEAR(std::abs(middle.Angle), 180.0, 1e-9);
    const BranchParams quarter = Interpolated(a, b, 0.25).Records[BaseRecord];
    BranchParams expected = a.Records[BaseRecord];
    expected.Angle = 175.0;
    ExpectSameRotation(quarter, expected);
}

TEST(Animation, TurntableLoopsWithoutARepeatedFrame)
{
    const SceneState scene = Tree(25.0, 0.7);
    const Animation turntable = Turntable(scene, 1.6);
    const int32_t fps = 30;
    const int64_t frames = FrameCount(turntable, fps);
    ASSERT_EQ(frames, 48);
    EXPECT_EQ(FrameScene(turntable, fps, 0), scene);
    // Each frame is the one before dragged sideways by one step, the last one step before the
    // first.
    for (const int64_t frame : {int64_t{1}, int64_t{13}, frames})
    {
        BranchParams stepped = FrameScene(turntable, fps, frame - 1).Records[BaseRecord];
        RotateByDrag(360.0 / static_cast<double>(frames), 0.0, stepped);
        ExpectSameRotation(stepped, FrameScene(turntable, fps, frame % frames).Records[BaseRecord]);
    }
    EXPECT_EQ(FrameScene(turntable, fps, 17).Records[Branch1Record], scene.Records[Branch1Record]);
}

TEST(Animation, TimelineFindsEveryFrameAsTheKeyframesInTurnDo)
{
    // Ways of a fraction of a frame, of no whole frame and of many; eased and not; looped and not.
    Animation animation;
    const double seconds[] = {0.1, 0.01, 1.0 / 3.0, 0.5, 0.25, 2.0};
    for (size_t i = 0; i < std::size(seconds); ++i)
    {
        const auto step = static_cast<double>(i);
        animation.Keyframes.push_back({Tree(20.0 * step, 0.6 + 0.05 * step), seconds[i],
                                       i % 2 == 0 ? Easing::Linear : Easing::EaseInOut});
    }
    for (const bool loop : {false, true})
    {
        animation.Loop = loop;
        const int32_t fps = 30;
        const FrameTimeline timeline(animation, fps);
        for (int64_t frame = 0; frame <= FrameCount(animation, fps); ++frame)
        {
            EXPECT_EQ(timeline.Scene(frame), FrameScene(animation, fps, frame)) << frame;
        }
    }
}

TEST(Animation, FramesAreCountedUpToTheLimitHoweverLongTheTimes)
{
    const auto twoKeyframes = [](double seconds, bool loop) {
        return Animation{{{Tree(0.0, 0.7), seconds}, {Tree(90.0, 0.6), seconds}}, loop};
    };
    const struct
    {
        double Seconds;
        bool Loop;
        int64_t Frames;  // at 240 per second
        bool Within;
    } cases[] = {
        {1.0, false, 241, true},
        {1.0, true, 480, true},
        {8.9e6, false, 2136000001, true},  // just under the limit
        {9.0e6, false, MaxFrames, false},  // just over
        {1e19, false, MaxFrames, false},   // past int64_t
        {1e19, true, MaxFrames, false},
        {1e308, true, MaxFrames, false},  // two of them sum to infinity
    };
    for (const auto& c : cases)
    {
        const Animation animation = twoKeyframes(c.Seconds, c.Loop);
        EXPECT_EQ(FrameCount(animation, 240), c.Frames) << c.Seconds;
        EXPECT_EQ(WithinFrameLimit(animation, 240), c.Within) << c.Seconds;
    }
}

TEST(AnimationFile, SavedAnimationsOpenAsSavedAndScenesAsOneKeyframe)
{
    QTemporaryDir dir;
    const Animation animation{
        {{Tree(10.0, 0.7), 1.5, Easing::EaseInOut}, {Tree(-30.0, 0.9), 0.25, Easing::Linear}},
        true};
    const QString path = dir.filePath("flight.ramifex-anim.json");
    QString error;
    ASSERT_TRUE(WriteAnimationFile(path, animation, &error)) << error.toStdString();
    EXPECT_EQ(ReadAnimationFile(path, &error), animation) << error.toStdString();

    QFile scene(dir.filePath("tree.ramifex.json"));
    ASSERT_TRUE(scene.open(QIODevice::WriteOnly));
    scene.write(SceneToJson(Tree(5.0, 0.6)));
    scene.close();
    const std::optional<Animation> one = ReadAnimationFile(scene.fileName(), &error);
    ASSERT_TRUE(one);
    ASSERT_EQ(one->Keyframes.size(), 1U);
    EXPECT_EQ(one->Keyframes[0].Scene, Tree(5.0, 0.6));
    EXPECT_EQ(FrameCount(*one, 30), 1);
}

TEST(AnimationFile, RefusesWhatItCannotReadNamingTheField)
{
    const QByteArray good = AnimationToJson({{{Tree(10.0, 0.7), 1.0, Easing::Linear}}});
    const auto edited = [&](const char* from, const char* to)
    { return QByteArray(good).replace(from, to); };
    const struct
    {
        QByteArray Json;
        const char* Problem;
    } cases[] = {
        {"[1, 2]", "it does not hold a JSON object"},
        {"{}", "the field \"format\" is not \"ramifex-animation\""},
        {edited("\"version\": 1", "\"version\": 2"), "saved by a newer Ramifex"},
        {edited("\"loop\": false", "\"loop\": 0"), "the field \"loop\" is not true or false"},
        {edited("\"seconds\": 1", "\"seconds\": 0"),
         "keyframes[0].seconds is not a number above 0"},
        {edited("\"linear\"", "\"bouncy\""), "keyframes[0].easing is not"},
        {edited("\"scale\": 0.7", "\"scale\": \"big\""),
         "keyframes[0].scene: the field \"branch 1\".scale is not a number"},
        {edited("\"keyframes\": [", "\"keyframes\": [], \"x\": ["), "\"keyframes\" is not a list"},
        {"{", "it is not valid JSON"},
    };
    for (const auto& [json, problem] : cases)
    {
        QString why;
        EXPECT_FALSE(AnimationFromJson(json, &why)) << problem;
        EXPECT_TRUE(why.contains(QString::fromUtf8(problem))) << why.toStdString();
    }
}

}  // namespace
}  // namespace ramifex
