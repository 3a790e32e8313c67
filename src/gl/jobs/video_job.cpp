#include "gl/jobs/video_job.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <utility>
#include <vector>

#include "gl/jobs/gl_renderer.h"
#include "gl/jobs/offscreen_gl.h"
#include "gl/picture/sphere_picture.h"
#include "io/scenefile/scene_file.h"
#include "io/video/sequence_pictures.h"

namespace ramifex
{
namespace
{

static_assert(SpherePicture::MaxSide <= MaxSequencePictureSide,
              "numbered pictures that the program writes are read back");

QString SizeText(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QString WritingText(const QString& path)
{
    return QString::fromUtf8("Writing %1\u2026").arg(QFileInfo(path).fileName());
}

// Said when a video is smaller than asked, by a pixel on an odd side.
QString EvenSidesNote(const QSize& asked, const QSize& written)
{
    if (asked == written)
    {
        return {};
    }
    return QStringLiteral("a video's sides are even (yuv420p), so it is %1, not %2")
        .arg(SizeText(written), SizeText(asked));
}

// "48 frames, 640 × 480 pixels at 30 a second, 1.2 MB", or for numbered pictures "48 pictures of
// 640 × 480 pixels".
QString FramesText(const QString& path, const FrameRange& frames, const QSize& size, int32_t fps,
                   VideoFormat format)
{
    const QString count = QLocale().toString(qlonglong(frames.Last - frames.First + 1));
    if (format == VideoFormat::PngSequence)
    {
        return QStringLiteral("%1 pictures of %2").arg(count, PixelsText(size));
    }
    return QStringLiteral("%1 frames, %2 at %3 a second, %4")
        .arg(count, PixelsText(size))
        .arg(fps)
        .arg(FileSizeText(path));
}

}  // namespace

VideoJob::VideoJob(Animation animation, const VideoSettings& settings, QString path,
                   std::optional<FrameRange> frames)
    : animation_(std::move(animation)),
      timeline_(animation_, settings.Fps),
      settings_(settings),
      askedSize_(settings.Render.Size),
      path_(std::move(path)),
      frames_(frames.value_or(FrameRange{0, FrameCount(animation_, settings.Fps) - 1}))
{
}

VideoJob::~VideoJob() = default;

// Whatever can be refused before drawing: the frames, the size, the output and the encoder.
bool VideoJob::Check()
{
    QString error;
    const std::optional<QSize> size = VideoSizeFor(settings_.Format, settings_.Render.Size, &error);
    if (!size)
    {
        return Fail(error);
    }
    settings_.Render.Size = *size;
    if (!WithinFrameLimit(animation_, settings_.Fps))
    {
        return Fail(QStringLiteral("the animation has more than %1 frames at %2 per second")
                        .arg(MaxFrames)
                        .arg(settings_.Fps));
    }
    const std::optional<VideoFormat> format = VideoOutputFormat(path_, &error);
    if (!format || *format != settings_.Format)
    {
        return Fail(format ? QStringLiteral("\"%1\" is not a name for that format").arg(path_)
                           : error);
    }
    for (const QString& problem :
         {FrameRangeProblem(frames_, FrameCount(animation_, settings_.Fps), settings_.Fps),
          EncoderProblem(settings_.Format)})
    {
        if (!problem.isEmpty())
        {
            return Fail(problem);
        }
    }
    return true;
}

// Whether the file of the frame (or the video) is the source, failing when it is.
bool VideoJob::FailOverSource(int64_t frame)
{
    const QString file =
        settings_.Format == VideoFormat::PngSequence ? SequenceFrameName(path_, frame) : path_;
    return !source_.isEmpty() && SameFile(source_, file) &&
           !Fail(QStringLiteral("cannot write \"%1\": it is the file the frames are drawn from")
                     .arg(file));
}

// No file already there that a frame would be written to is the source; false when one is.
bool VideoJob::CheckSource()
{
    if (settings_.Format != VideoFormat::PngSequence)
    {
        return !FailOverSource(0);
    }
    for (const int64_t frame : SequenceNumbers(path_))
    {
        if (frame >= frames_.First && frame <= frames_.Last && FailOverSource(frame))
        {
            return false;
        }
    }
    return true;
}

bool VideoJob::Start()
{
    if (!Check() || !CheckSource())
    {
        return false;
    }
    const int64_t first = frames_.First;
    sequence_ = std::make_unique<PictureSequence>(
        SceneSequence{frames_.Last - first + 1,
                      [this, first](int64_t index) { return timeline_.Scene(first + index); }},
        settings_.Render);
    if (!sequence_->Start())
    {
        return Fail(sequence_->Error());
    }
    QString error;
    writer_ =
        FrameWriter::Open(path_, settings_.Format, settings_.Render.Size, settings_.Fps, &error);
    return writer_ != nullptr || Fail(error);
}

void VideoJob::Tick()
{
    if (Finished() || !writer_)
    {
        return;
    }
    const std::optional<RenderedFrame> frame = sequence_->Tick();
    QString error;
    if (frame && !FailOverSource(frames_.First + frame->Index) &&
        !writer_->Write(frames_.First + frame->Index, frame->Picture, frame->Scene, &error))
    {
        Fail(error);
    }
    else if (sequence_->Failed())
    {
        Fail(sequence_->Error());
    }
    if (Failed())
    {
        sequence_.reset();
        writer_.reset();  // unfinished, it takes its partial file with it
    }
}

double VideoJob::Fraction() const
{
    return sequence_ ? sequence_->Fraction() : 0.0;
}

QString VideoJob::Activity() const
{
    return WritingText(path_);
}

QString VideoJob::Note() const
{
    return EvenSidesNote(askedSize_, settings_.Render.Size);
}

QString VideoJob::Written() const
{
    return WrittenName(path_) +
           FramesText(path_, frames_, settings_.Render.Size, settings_.Fps, settings_.Format);
}

bool VideoJob::Write()
{
    // A video takes its name only now, which may have become the source's meanwhile.
    QString error;
    return !FailOverSource(frames_.Last) && (writer_->Finish(&error) || Fail(error));
}

EncodeJob::EncodeJob(QString pictures, QString path, VideoFormat format, int32_t fps,
                     std::optional<FrameRange> frames)
    : pictures_(std::move(pictures)),
      path_(std::move(path)),
      format_(format),
      fps_(fps),
      asked_(frames)
{
}

EncodeJob::~EncodeJob() = default;

// The pictures asked for, or all from 0 to the highest number; false, naming the first one
// missing or not a regular file.
bool EncodeJob::FindPictures()
{
    const std::vector<int64_t> numbers = SequenceNumbers(pictures_);
    if (!asked_ && (numbers.empty() || numbers.front() != 0))
    {
        return Fail(
            QStringLiteral("no picture \"%1\" to begin with").arg(SequenceFrameName(pictures_, 0)));
    }
    frames_ = asked_.value_or(FrameRange{0, numbers.back()});
    auto found = std::lower_bound(numbers.begin(), numbers.end(), frames_.First);
    for (int64_t frame = frames_.First; frame <= frames_.Last; ++frame, ++found)
    {
        const QString name = SequenceFrameName(pictures_, frame);
        if (found == numbers.end() || *found != frame)
        {
            return Fail(QStringLiteral("picture %1 of %2-%3 is missing: there is no \"%4\"")
                            .arg(frame)
                            .arg(frames_.First)
                            .arg(frames_.Last)
                            .arg(name));
        }
        if (!QFileInfo(name).isFile())
        {
            return Fail(QStringLiteral("\"%1\" is not a regular file").arg(name));
        }
    }
    return true;
}

bool EncodeJob::Start()
{
    if (!FindPictures())
    {
        return false;
    }
    QString error;
    const std::optional<QSize> pictureSize =
        SequencePictureSize(SequenceFrameName(pictures_, frames_.First), &error);
    if (!pictureSize)
    {
        return Fail(error);
    }
    pictureSize_ = *pictureSize;
    const std::optional<QSize> size = VideoSizeFor(format_, pictureSize_, &error);
    if (!size)
    {
        return Fail(error);
    }
    size_ = *size;
    const QString problem = EncoderProblem(format_);
    if (!problem.isEmpty())
    {
        return Fail(problem);
    }
    next_ = frames_.First;
    writer_ = FrameWriter::Open(path_, format_, size_, fps_, &error);
    return writer_ != nullptr || Fail(error);
}

void EncodeJob::Tick()
{
    if (Finished() || !writer_)
    {
        return;
    }
    const QString name = SequenceFrameName(pictures_, next_);
    QString error;
    const std::optional<QImage> picture = ReadSequencePicture(name, &error);
    if (picture && picture->size() != pictureSize_)
    {
        error = QStringLiteral("\"%1\" is %2, not %3 as the first picture")
                    .arg(name, SizeText(picture->size()), SizeText(pictureSize_));
    }
    else if (picture && writer_->Write(next_, picture->copy(QRect({0, 0}, size_)), {}, &error))
    {
        ++next_;
        return;
    }
    Fail(error);
    writer_.reset();
}

double EncodeJob::Fraction() const
{
    if (!writer_)
    {
        return 0.0;
    }
    const auto count = static_cast<double>(frames_.Last - frames_.First + 1);
    return static_cast<double>(next_ - frames_.First) / count;
}

QString EncodeJob::Activity() const
{
    return WritingText(path_);
}

QString EncodeJob::Note() const
{
    return EvenSidesNote(pictureSize_, size_);
}

QString EncodeJob::Written() const
{
    return WrittenName(path_) + FramesText(path_, frames_, size_, fps_, format_);
}

bool EncodeJob::Write()
{
    QString error;
    return writer_->Finish(&error) || Fail(error);
}

}  // namespace ramifex
