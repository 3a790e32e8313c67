#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "core/animation/animation.h"
#include "gl/jobs/job.h"
#include "gl/jobs/output_checks.h"
#include "gl/jobs/picture_sequence.h"
#include "io/video/video_writer.h"

namespace ramifex
{

// What a video is drawn and written as.
struct VideoSettings
{
    RenderSettings Render;
    int32_t Fps = 30;
    VideoFormat Format = VideoFormat::Mp4;
};

// The frames of an animation drawn one after another, each written as it is done, as a video
// file or as numbered PNG pictures that carry their scenes. A video takes the size's even sides.
// A video goes to its name only once written: a job that stops or fails before leaves no file.
class VideoJob final : public Job
{
public:
    // `frames`: only those; none: all of them.
    VideoJob(Animation animation, const VideoSettings& settings, QString path,
             std::optional<FrameRange> frames = std::nullopt);
    ~VideoJob() override;

    // The file the animation was read from, which no frame is written over, through a link or not.
    void KeepSource(QString source) { source_ = std::move(source); }

    bool Start() override;
    void Tick() override;
    double Fraction() const override;
    QString Activity() const override;
    QString Note() const override;
    QString Written() const override;
    bool Write() override;

private:
    bool Complete() const override { return sequence_ && sequence_->Finished(); }
    bool Check();
    bool CheckSource();
    bool FailOverSource(int64_t frame);

    Animation animation_;
    FrameTimeline timeline_;  // of animation_
    VideoSettings settings_;
    QSize askedSize_;
    QString path_;
    QString source_;
    FrameRange frames_;
    std::unique_ptr<PictureSequence> sequence_;
    std::unique_ptr<FrameWriter> writer_;
};

// Numbered PNG pictures joined into a video, a picture a tick: those of a range, or every one
// from 0 to the highest number there. A picture missing from them is refused before anything is
// written. A video takes the first picture's size, with even sides.
class EncodeJob final : public Job
{
public:
    EncodeJob(QString pictures, QString path, VideoFormat format, int32_t fps,
              std::optional<FrameRange> frames = std::nullopt);
    ~EncodeJob() override;

    bool Start() override;
    void Tick() override;
    double Fraction() const override;
    QString Activity() const override;
    QString Note() const override;
    QString Written() const override;
    bool Write() override;

private:
    bool Complete() const override { return writer_ && next_ > frames_.Last; }
    bool FindPictures();

    QString pictures_;
    QString path_;
    VideoFormat format_;
    int32_t fps_;
    std::optional<FrameRange> asked_;
    FrameRange frames_;
    QSize pictureSize_;
    QSize size_;
    int64_t next_ = 0;
    std::unique_ptr<FrameWriter> writer_;
};

}  // namespace ramifex
