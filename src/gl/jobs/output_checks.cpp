#include "gl/jobs/output_checks.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "gl/jobs/picture_renderer.h"
#include "io/geometry/geometry_file.h"
#include "io/scenefile/scene_file.h"
#include "io/video/video_writer.h"

namespace ramifex
{
namespace
{

QString SizeText(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

}  // namespace

QString PictureOutputProblem(const QString& path)
{
    QString error;
    return CanWritePicture(path, &error) ? QString() : error;
}

QString GeometryOutputProblem(const QString& path)
{
    QString error;
    return CanWriteGeometry(path, &error) ? QString() : error;
}

std::optional<VideoFormat> VideoOutputFormat(const QString& path, QString* error)
{
    const std::optional<VideoFormat> format = VideoFormatOf(path, error);
    if (!format)
    {
        return std::nullopt;
    }
    const QString file = *format == VideoFormat::PngSequence ? SequenceFrameName(path, 0) : path;
    if (!QFileInfo(file).absoluteDir().exists())
    {
        *error = QStringLiteral("cannot write \"%1\": its folder does not exist").arg(path);
        return std::nullopt;
    }
    if (QFileInfo::exists(file) && !QFileInfo(file).isFile())
    {
        *error = QStringLiteral("cannot write \"%1\": it is not a regular file").arg(file);
        return std::nullopt;
    }
    return format;
}

QString SampledSizeProblem(const QSize& size, int32_t samples, const QSize& largest)
{
    if (samples < 1 || samples > RenderSettings::MaxSamples)
    {
        return QStringLiteral("the samples per pixel are 1 to %1 (1x1 to %1x%1), not %2")
            .arg(RenderSettings::MaxSamples)
            .arg(samples);
    }
    const QSize drawn = size * samples;
    if (drawn.boundedTo(largest) == drawn)
    {
        return {};
    }
    if (samples == 1)
    {
        return QStringLiteral("%1 is larger than the largest picture, %2")
            .arg(SizeText(size), SizeText(largest));
    }
    return QStringLiteral(
               "%1 with %2x%2 samples is drawn at %3, larger than the largest picture, "
               "%4: with %2x%2 samples the largest size is %5")
        .arg(SizeText(size))
        .arg(samples)
        .arg(SizeText(drawn), SizeText(largest), SizeText(largest / samples));
}

std::optional<QSize> VideoSizeFor(VideoFormat format, const QSize& size, QString* error)
{
    const QSize written = format == VideoFormat::PngSequence ? size : EvenSize(size);
    if (written.isEmpty())
    {
        *error = QStringLiteral("a video is at least 2x2 pixels");
        return std::nullopt;
    }
    return written;
}

QString FrameRangeProblem(const FrameRange& frames, int64_t count, int32_t fps)
{
    if (frames.Last < count)
    {
        return {};
    }
    return QStringLiteral("the animation has %1 frames at %2 per second, 0-%3")
        .arg(count)
        .arg(fps)
        .arg(count - 1);
}

QString EncoderProblem(VideoFormat format)
{
    QString error;
    return VideoEncoderAvailable(format, &error) ? QString() : error;
}

QString WrittenName(const QString& path)
{
    return path + QStringLiteral(": ");
}

QString FileSizeText(const QString& path)
{
    return QLocale().formattedDataSize(QFileInfo(path).size());
}

QString PixelsText(const QSize& size)
{
    return QString::fromUtf8("%1 \u00d7 %2 pixels").arg(size.width()).arg(size.height());
}

}  // namespace ramifex
