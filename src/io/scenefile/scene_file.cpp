#include "io/scenefile/scene_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <cerrno>

#include "io/scenefile/png_text.h"
#include "io/scenefile/scene_json.h"

namespace ramifex
{
namespace
{

// The key of the PNG text chunk that holds an exported picture's scene.
constexpr char PictureSceneKey[] = "ramifex-scene";
constexpr char NotRegularFile[] = "it is not a regular file";

QString Sentence(const char* verb, const QString& path, const QString& why)
{
    return QString("Cannot %1 \"%2\": %3.").arg(verb, QFileInfo(path).fileName(), why);
}

// A system message such as "No space left on device" as the end of one of our sentences.
QString AsReason(QString message)
{
    if (message.size() > 1 && message[1].isLower())
    {
        message[0] = message[0].toLower();
    }
    return message;
}

std::optional<SceneState> Refused(QString* problem, const QString& why)
{
    *problem = why;
    return std::nullopt;
}

// The scene in an open file, or nothing with *problem saying why.
std::optional<SceneState> SceneInFile(QFile& file, QString* problem)
{
    if (file.peek(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
    {
        // One byte over the limit is enough to refuse a huge file without reading all of it.
        const QByteArray json = file.read(MaxSceneBytes + 1);
        if (file.error() != QFileDevice::NoError)
        {
            return Refused(problem, AsReason(file.errorString()));
        }
        return SceneFromJson(json, problem);
    }
    // The text chunks come before the image data, so the picture itself is never decoded.
    const PngText json = ReadPngText(file, PictureSceneKey, MaxSceneBytes);
    switch (json.Status)
    {
        case PngTextStatus::Found:
            return SceneFromJson(json.Utf8, problem);
        case PngTextStatus::Missing:
            return Refused(problem, "the picture carries no Ramifex scene");
        case PngTextStatus::TooLarge:
            return Refused(problem, SceneTooLarge);
        case PngTextStatus::Damaged:
            break;
    }
    return Refused(problem, "the picture is damaged");
}

// Why no file whose name should end in suffix may be written at path; empty when one may.
QString OutputProblem(const QString& path, const char* kind, const char* suffix)
{
    const QFileInfo file(path);
    if (file.exists() && !file.isFile())
    {
        return NotRegularFile;  // a folder, a pipe or a device, which a save would replace
    }
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
    {
        return QString("%1 name ends in %2").arg(kind, suffix);
    }
    return {};
}

bool CheckOutput(const QString& path, const char* kind, const char* suffix, QString* error)
{
    const QString problem = OutputProblem(path, kind, suffix);
    if (!problem.isEmpty())
    {
        *error = Sentence("save", path, problem);
    }
    return problem.isEmpty();
}

// The scene's JSON, or nothing with *error naming the value that a file could not give back.
std::optional<QByteArray> SavableJson(const QString& path, const SceneState& scene, QString* error,
                                      const QJsonObject& extra = {})
{
    const QByteArray json = SceneToJson(scene, extra);
    QString problem;
    if (SceneFromJson(json, &problem))
    {
        return json;
    }
    *error = Sentence("save", path, problem);
    return std::nullopt;
}

// Writes every byte. After a short write the next one fails and leaves the reason on the device.
bool WriteAll(QIODevice& device, const QByteArray& bytes)
{
    for (qint64 written = 0; written < bytes.size();)
    {
        const qint64 count = device.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
        {
            return false;
        }
        written += count;
    }
    return true;
}

bool SaveBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    // Unbuffered, so that a failed write shows here: commit() publishes a file that its final
    // flush cut short as if it were whole. Without a commit the temporary file is dropped.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && WriteAll(file, bytes) &&
        file.commit())
    {
        return true;
    }
    *error = Sentence("save", path, AsReason(file.errorString()));
    return false;
}

}  // namespace

std::optional<SceneState> ReadSceneFile(const QString& path, QString* error)
{
    QFile file;
    QString problem;
    std::optional<SceneState> scene;
    if (OpenRegularFile(path, file, &problem))
    {
        scene = SceneInFile(file, &problem);
    }
    if (!scene)
    {
        *error = Sentence("open", path, problem);
    }
    return scene;
}

bool OpenRegularFile(const QString& path, QFile& file, QString* problem)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode))
    {
        *problem = NotRegularFile;
        return false;
    }
    const int descriptor = open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
    {
        *problem = AsReason(qt_error_string(errno));
        return false;
    }
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
    {
        close(descriptor);
        *problem = NotRegularFile;
        return false;
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
    {
        close(descriptor);
        *problem = AsReason(file.errorString());
        return false;
    }
    return true;
}

bool IsSceneFileName(const QString& path)
{
    return path.endsWith(SceneFileNameEnd, Qt::CaseInsensitive);
}

bool CanWritePicture(const QString& path, QString* error)
{
    return CheckOutput(path, "a picture's", ".png", error);
}

bool SameFile(const QString& a, const QString& b)
{
    struct stat first = {};
    struct stat second = {};
    return stat(QFile::encodeName(a).constData(), &first) == 0 &&
           stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool WriteSceneFile(const QString& path, const SceneState& scene, QString* error,
                    const QJsonObject& extra)
{
    if (!CheckOutput(path, "a scene file's", SceneFileNameEnd, error))
    {
        return false;
    }
    const std::optional<QByteArray> json = SavableJson(path, scene, error, extra);
    return json && SaveBytes(path, *json, error);
}

bool WritePictureWithScene(const QString& path, const QImage& picture, const SceneState& scene,
                           QString* error)
{
    if (!CanWritePicture(path, error))
    {
        return false;
    }
    const std::optional<QByteArray> json = SavableJson(path, scene, error);
    if (!json)
    {
        return false;
    }
    // Encoded in memory first, so the file sees plain writes whose failure says why.
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImageWriter writer(&png, "png");
    writer.setText(PictureSceneKey, QString::fromUtf8(*json));
    if (!writer.write(picture))
    {
        *error = Sentence("save", path, AsReason(writer.errorString()));
        return false;
    }
    return SaveBytes(path, png.data(), error);
}

}  // namespace ramifex
