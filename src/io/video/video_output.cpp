#include "io/video/video_output.h"

#include <QRegularExpression>

namespace ramifex
{
namespace
{

const QRegularExpression& FramePattern()
{
    static const QRegularExpression pattern(QStringLiteral("%(0[1-9])?d"));
    return pattern;
}

}  // namespace

std::optional<VideoFormat> VideoFormatOf(const QString& path, QString* error)
{
    if (path.endsWith(QStringLiteral(".mp4"), Qt::CaseInsensitive))
    {
        return VideoFormat::Mp4;
    }
    if (path.endsWith(QStringLiteral(".webm"), Qt::CaseInsensitive))
    {
        return VideoFormat::WebM;
    }
    const qsizetype numbers = path.count(FramePattern());
    if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) && numbers == 1 &&
        path.count(QLatin1Char('%')) == 1)
    {
        return VideoFormat::PngSequence;
    }
    *error = QStringLiteral(
                 "the output \"%1\" is neither a video (.mp4, .webm) nor numbered PNG "
                 "frames such as frames/%05d.png")
                 .arg(path);
    return std::nullopt;
}

QString SequenceFrameName(const QString& pattern, int64_t frame)
{
    const QRegularExpressionMatch match = FramePattern().match(pattern);
    const int width = match.captured(1).isEmpty() ? 0 : match.captured(1).toInt();
    QString name = pattern;
    return name.replace(match.capturedStart(), match.capturedLength(),
                        QStringLiteral("%1").arg(frame, width, 10, QLatin1Char('0')));
}

QSize EvenSize(const QSize& size)
{
    return {size.width() & ~1, size.height() & ~1};
}

}  // namespace ramifex
