#include "io/video/sequence_pictures.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "io/scenefile/scene_file.h"

namespace ramifex
{
namespace
{

QString Sentence(const QString& path, const QString& why)
{
    return QStringLiteral("Cannot read \"%1\": %2.").arg(QFileInfo(path).fileName(), why);
}

// Reads the picture's header from a regular file; false, with *error saying why, when it cannot
// or when the picture is larger than any the program draws.
bool OpenPicture(const QString& path, QFile& file, QImageReader& reader, QString* error)
{
    QString problem;
    if (!OpenRegularFile(path, file, &problem))
    {
        *error = Sentence(path, problem);
        return false;
    }
    reader.setDevice(&file);
    const QSize size = reader.size();
    if (!size.isValid())
    {
        *error = Sentence(path, QStringLiteral("it is not a picture"));
        return false;
    }
    const QSize largest(MaxSequencePictureSide, MaxSequencePictureSide);
    if (size.boundedTo(largest) != size)
    {
        *error = Sentence(path, QStringLiteral("it is %1x%2, larger than %3x%3")
                                    .arg(size.width())
                                    .arg(size.height())
                                    .arg(MaxSequencePictureSide));
        return false;
    }
    // The size is bounded above, so the toolkit's own limit would only refuse the largest.
    reader.setAllocationLimit(0);
    return true;
}

}  // namespace

std::optional<QSize> SequencePictureSize(const QString& path, QString* error)
{
    QFile file;
    QImageReader reader;
    if (!OpenPicture(path, file, reader, error))
    {
        return std::nullopt;
    }
    return reader.size();
}

std::optional<QImage> ReadSequencePicture(const QString& path, QString* error)
{
    QFile file;
    QImageReader reader;
    if (!OpenPicture(path, file, reader, error))
    {
        return std::nullopt;
    }
    QImage picture = reader.read();
    if (picture.isNull())
    {
        *error = Sentence(path, reader.errorString().toLower());
        return std::nullopt;
    }
    return picture;
}

}  // namespace ramifex
