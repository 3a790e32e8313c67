#include "io/recovery/last_session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

#include "io/scenefile/scene_file.h"
#include "io/scenefile/scene_json.h"

namespace ramifex
{
namespace
{

// The session's own fields, beside the scene's, which readers of scenes ignore.
constexpr char SessionKey[] = "lastSession";

}  // namespace

QString LastSessionPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QStringLiteral("last-session.ramifex.json"));
}

bool KeepLastSession(const QString& path, const LastSession& session, QString* error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QJsonObject extra{
        {SessionKey, QJsonObject{{"file", session.File}, {"unsaved", session.Unsaved}}}};
    return WriteSceneFile(path, session.Scene, error, extra);
}

std::optional<LastSession> ReadLastSession(const QString& path, QString* error)
{
    const std::optional<SceneState> scene = ReadSceneFile(path, error);
    if (!scene)
    {
        return std::nullopt;
    }
    // The scene's reading has checked the file is a regular one of a scene's size.
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QJsonObject fields =
        QJsonDocument::fromJson(file.read(MaxSceneBytes)).object()[SessionKey].toObject();
    return LastSession{*scene, fields["file"].toString(), fields["unsaved"].toBool()};
}

QString LastSessionText(const LastSession& session)
{
    const QString name =
        session.File.isEmpty() ? QStringLiteral("New scene") : QFileInfo(session.File).fileName();
    return QStringLiteral("Last session: %1%2")
        .arg(name, session.Unsaved ? QStringLiteral(", unsaved changes") : QString());
}

}  // namespace ramifex
