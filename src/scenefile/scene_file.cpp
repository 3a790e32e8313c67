#include "scenefile/scene_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include "scenefile/scene_json.h"

namespace ramifex
{
namespace
{

// The key of the PNG text chunk that holds an exported picture's scene.
constexpr char PictureSceneKey[] = "ramifex-scene";

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
    const QString json = QImageReader(&file, "png").text(PictureSceneKey);
    if (json.isEmpty())
    {
        return Refused(problem, "the picture carries no Ramifex scene");
    }
    return SceneFromJson(json.toUtf8(), problem);
}

// The scene's JSON, or nothing with *error naming the value that a file could not give back.
std::optional<QByteArray> SavableJson(const QString& path, const SceneState& scene, QString* error)
{
    const QByteArray json = SceneToJson(scene);
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
    QFile file(path);
    QString problem;
    std::optional<SceneState> scene;
    if (file.open(QIODevice::ReadOnly))
    {
        scene = SceneInFile(file, &problem);
    }
    else
    {
        problem = AsReason(file.errorString());
    }
    if (!scene)
    {
        *error = Sentence("open", path, problem);
    }
    return scene;
}

bool WriteSceneFile(const QString& path, const SceneState& scene, QString* error)
{
    const std::optional<QByteArray> json = SavableJson(path, scene, error);
    return json && SaveBytes(path, *json, error);
}

bool WritePictureWithScene(const QString& path, const QImage& picture, const SceneState& scene,
                           QString* error)
{
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
