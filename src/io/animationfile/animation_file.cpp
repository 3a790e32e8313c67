#include "io/animationfile/animation_file.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cmath>

#include "io/scenefile/scene_file.h"
#include "io/scenefile/scene_json.h"

namespace ramifex
{
namespace
{

constexpr char AnimationFormatName[] = "ramifex-animation";
constexpr int AnimationFormatVersion = 1;
// Thousands of keyframes fit; a larger file is refused before it is parsed.
constexpr qsizetype MaxAnimationBytes = 64 << 20;
constexpr char LinearName[] = "linear";
constexpr char EaseInOutName[] = "ease in-out";

QString Sentence(const char* verb, const QString& path, const QString& why)
{
    return QString("Cannot %1 \"%2\": %3.").arg(verb, QFileInfo(path).fileName(), why);
}

std::optional<Animation> Refused(QString* problem, const QString& why)
{
    *problem = why;
    return std::nullopt;
}

std::optional<Keyframe> KeyframeFrom(const QJsonValue& value, const QString& field,
                                     QString* problem)
{
    const QJsonObject object = value.toObject();
    const QJsonValue seconds = object["seconds"];
    const QJsonValue easing = object["easing"];
    QString sceneProblem;
    const std::optional<SceneState> scene = SceneFromJson(
        QJsonDocument(object["scene"].toObject()).toJson(QJsonDocument::Compact), &sceneProblem);
    if (!value.isObject())
    {
        *problem = QString("the field %1 is not an object").arg(field);
    }
    else if (!object["scene"].isObject())
    {
        *problem = QString("the field %1.scene is not a scene's object").arg(field);
    }
    else if (!scene)
    {
        *problem = QString("the field %1.scene: %2").arg(field, sceneProblem);
    }
    else if (!seconds.isDouble() || !(seconds.toDouble() > 0.0) ||
             !std::isfinite(seconds.toDouble()))
    {
        *problem = QString("the field %1.seconds is not a number above 0").arg(field);
    }
    else if (easing.toString() != LinearName && easing.toString() != EaseInOutName)
    {
        *problem = QString("the field %1.easing is not \"%2\" or \"%3\"")
                       .arg(field, LinearName, EaseInOutName);
    }
    else
    {
        const Easing ease = easing.toString() == LinearName ? Easing::Linear : Easing::EaseInOut;
        return Keyframe{*scene, seconds.toDouble(), ease};
    }
    return std::nullopt;
}

// Refuses anything but an animation of the format version this program writes.
QString FormatProblem(const QJsonObject& object)
{
    if (object["format"].toString() != AnimationFormatName)
    {
        return QString("the field \"format\" is not \"%1\"").arg(AnimationFormatName);
    }
    if (object["version"].toDouble() > AnimationFormatVersion)
    {
        return QString(
                   "it was saved by a newer Ramifex (animation format %1; this one reads "
                   "format %2)")
            .arg(object["version"].toDouble())
            .arg(AnimationFormatVersion);
    }
    if (object["version"].toDouble() != AnimationFormatVersion)
    {
        return QString("the field \"version\" is not %1").arg(AnimationFormatVersion);
    }
    if (!object["loop"].isBool())
    {
        return "the field \"loop\" is not true or false";
    }
    if (!object["keyframes"].isArray() || object["keyframes"].toArray().isEmpty())
    {
        return "the field \"keyframes\" is not a list of one keyframe or more";
    }
    return {};
}

bool SaveBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && file.commit())
    {
        return true;
    }
    *error = Sentence("save", path, file.errorString());
    return false;
}

}  // namespace

QByteArray AnimationToJson(const Animation& animation)
{
    QJsonArray keyframes;
    for (const Keyframe& keyframe : animation.Keyframes)
    {
        keyframes.append(
            QJsonObject{{"scene", QJsonDocument::fromJson(SceneToJson(keyframe.Scene)).object()},
                        {"seconds", keyframe.Seconds},
                        {"easing", keyframe.Ease == Easing::Linear ? LinearName : EaseInOutName}});
    }
    const QJsonObject object{{"format", AnimationFormatName},
                             {"version", AnimationFormatVersion},
                             {"loop", animation.Loop},
                             {"keyframes", keyframes}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<Animation> AnimationFromJson(const QByteArray& json, QString* problem)
{
    if (json.size() > MaxAnimationBytes)
    {
        return Refused(problem, "the animation is larger than 64 MiB");
    }
    const std::optional<QJsonObject> read = JsonObjectFrom(json, problem);
    if (!read)
    {
        return std::nullopt;
    }
    const QJsonObject& object = *read;
    const QString format = FormatProblem(object);
    if (!format.isEmpty())
    {
        return Refused(problem, format);
    }
    Animation animation{{}, object["loop"].toBool()};
    const QJsonArray keyframes = object["keyframes"].toArray();
    for (qsizetype i = 0; i < keyframes.size(); ++i)
    {
        const std::optional<Keyframe> keyframe =
            KeyframeFrom(keyframes[i], QString("keyframes[%1]").arg(i), problem);
        if (!keyframe)
        {
            return std::nullopt;
        }
        animation.Keyframes.push_back(*keyframe);
    }
    return animation;
}

std::optional<Animation> ReadAnimationFile(const QString& path, QString* error)
{
    if (!path.endsWith(AnimationFileSuffix, Qt::CaseInsensitive))
    {
        const std::optional<SceneState> scene = ReadSceneFile(path, error);
        return scene ? std::optional(Animation{{{*scene}}}) : std::nullopt;
    }
    QFile file(path);
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile())
    {
        *error = Sentence("open", path, "it is not a regular file");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly))
    {
        *error = Sentence("open", path, file.errorString().toLower());
        return std::nullopt;
    }
    QString problem;
    std::optional<Animation> animation =
        AnimationFromJson(file.read(MaxAnimationBytes + 1), &problem);
    if (!animation)
    {
        *error = Sentence("open", path, problem);
    }
    return animation;
}

bool WriteAnimationFile(const QString& path, const Animation& animation, QString* error)
{
    if (!path.endsWith(AnimationFileSuffix, Qt::CaseInsensitive))
    {
        *error = Sentence("save", path,
                          QString("an animation's name ends in %1").arg(AnimationFileSuffix));
        return false;
    }
    return SaveBytes(path, AnimationToJson(animation), error);
}

}  // namespace ramifex
