#include "io/video/video_output.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace ramifex
{
namespace
{

const QRegularExpression& FramePattern()
{
    static const QRegularExpression pattern(QStringLiteral("%(0[1-9])?d"));
    return pattern;
}

// A frame's number, up to 18 digits so that it fits in 64 bits.
constexpr char NumberPattern[] = "([0-9]{1,18})";

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

std::vector<int64_t> SequenceNumbers(const QString& pattern)
{
    const QFileInfo file(pattern);
    const QString name = file.fileName();
    const QRegularExpressionMatch number = FramePattern().match(name);
    std::vector<int64_t> numbers;
    if (!number.hasMatch())
    {
        return numbers;
    }
    const QRegularExpression named(
        '^' + QRegularExpression::escape(name.left(number.capturedStart())) + NumberPattern +
        QRegularExpression::escape(name.mid(number.capturedEnd())) + '$');
    const QDir::Filters everything =
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QString& entry : QDir(file.path()).entryList(everything))
    {
        const QRegularExpressionMatch match = named.match(entry);
        const int64_t frame = match.captured(1).toLongLong();
        if (match.hasMatch() && SequenceFrameName(name, frame) == entry)
        {
            numbers.push_back(frame);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

QSize EvenSize(const QSize& size)
{
    return {size.width() & ~1, size.height() & ~1};
}

}  // namespace ramifex
