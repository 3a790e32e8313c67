#include "io/scenefile/scene_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace ramifex
{
namespace
{

// The records' keys in record order: the names in the panel's list.
constexpr const char* RecordKeys[] = {"base", "branch 1", "branch 2"};

QJsonArray TripleToJson(const Vec3& triple)
{
    return {triple[0], triple[1], triple[2]};
}

QJsonObject RecordToJson(const BranchParams& record)
{
    return {{"angle", record.Angle},
            {"axis", TripleToJson(record.Axis)},
            {"scale", record.Scale},
            {"offset", record.Offset},
            {"colour", TripleToJson(record.Colour)},
            {"colourRatio", record.Ratio}};
}

// Reads fields of the document and keeps the first thing wrong, so that a whole scene can be read
// in one go and checked once at the end.
class FieldReader
{
public:
    double Number(const QJsonValue& value, const QString& field)
    {
        if (value.isDouble() && std::isfinite(value.toDouble()))
        {
            return value.toDouble();
        }
        Refuse(value, field, "a number");
        return 0.0;
    }

    int32_t WholeNumber(const QJsonValue& value, const QString& field, int32_t low, int32_t high)
    {
        const double number = value.toDouble(NAN);
        if (number >= low && number <= high && number == std::trunc(number))
        {
            return static_cast<int32_t>(number);
        }
        Refuse(value, field, QString("a whole number from %1 to %2").arg(low).arg(high));
        return low;
    }

    Vec3 Triple(const QJsonValue& value, const QString& field)
    {
        const QJsonArray array = value.toArray();
        if (array.size() != 3)
        {
            Refuse(value, field, "a list of three numbers");
            return {};
        }
        return {Number(array[0], field + "[0]"), Number(array[1], field + "[1]"),
                Number(array[2], field + "[2]")};
    }

    BranchParams Record(const QJsonValue& value, const QString& field)
    {
        if (!value.isObject())
        {
            Refuse(value, field, "an object");
            return {};
        }
        const QJsonObject record = value.toObject();
        return {.Angle = Number(record["angle"], field + ".angle"),
                .Axis = Triple(record["axis"], field + ".axis"),
                .Scale = Number(record["scale"], field + ".scale"),
                .Offset = Number(record["offset"], field + ".offset"),
                .Colour = Triple(record["colour"], field + ".colour"),
                .Ratio = Number(record["colourRatio"], field + ".colourRatio")};
    }

    // Records that value is missing or is not what the field should hold.
    void Refuse(const QJsonValue& value, const QString& field, const QString& expected)
    {
        if (Problem.isEmpty())
        {
            Problem =
                QString("the field %1 %2")
                    .arg(field, value.isUndefined() ? QString("is missing") : "is not " + expected);
        }
    }

    QString Problem;  // empty while everything read so far is sound
};

QString Quoted(const QString& key)
{
    return '"' + key + '"';
}

// Refuses anything but a scene of the format version this program writes.
void CheckFormat(const QJsonObject& object, FieldReader& reader)
{
    const QJsonValue version = object["version"];
    if (object["format"].toString() != SceneFormatName)
    {
        reader.Refuse(object["format"], Quoted("format"), Quoted(SceneFormatName));
    }
    else if (version.toDouble() > SceneFormatVersion)
    {
        const QString newer =
            "it was saved by a newer Ramifex (scene format %1; this one reads "
            "format %2)";
        reader.Problem = newer.arg(version.toDouble()).arg(SceneFormatVersion);
    }
    else if (version.toDouble() != SceneFormatVersion)
    {
        reader.Refuse(version, Quoted("version"), QString::number(SceneFormatVersion));
    }
}

std::optional<SceneState> ReadScene(const QJsonObject& object, FieldReader& reader)
{
    SceneState scene;
    for (size_t i = 0; i < scene.Records.size(); ++i)
    {
        scene.Records[i] = reader.Record(object[RecordKeys[i]], Quoted(RecordKeys[i]));
    }
    scene.Iterations = reader.WholeNumber(object["iterations"], Quoted("iterations"), 1, MaxDepth);
    scene.ViewOffset = reader.Triple(object["viewOffset"], Quoted("viewOffset"));
    if (!reader.Problem.isEmpty())
    {
        return std::nullopt;
    }
    return scene;
}

std::optional<SceneState> Refused(QString* problem, const QString& why)
{
    *problem = why;
    return std::nullopt;
}

}  // namespace

QByteArray SceneToJson(const SceneState& scene, const QJsonObject& extra)
{
    QJsonObject object{{"format", SceneFormatName},
                       {"version", SceneFormatVersion},
                       {"iterations", scene.Iterations},
                       {"viewOffset", TripleToJson(scene.ViewOffset)}};
    for (size_t i = 0; i < scene.Records.size(); ++i)
    {
        object[RecordKeys[i]] = RecordToJson(scene.Records[i]);
    }
    for (auto field = extra.begin(); field != extra.end(); ++field)
    {
        object.insert(field.key(), field.value());
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<QJsonObject> JsonObjectFrom(const QByteArray& json, QString* problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
    {
        *problem = QString("it is not valid JSON (%1 at character %2)")
                       .arg(error.errorString())
                       .arg(error.offset);
        return std::nullopt;
    }
    if (!document.isObject())
    {
        *problem = "it does not hold a JSON object";
        return std::nullopt;
    }
    return document.object();
}

std::optional<SceneState> SceneFromJson(const QByteArray& json, QString* problem)
{
    if (json.size() > MaxSceneBytes)
    {
        return Refused(problem, SceneTooLarge);
    }
    const std::optional<QJsonObject> object = JsonObjectFrom(json, problem);
    if (!object)
    {
        return std::nullopt;
    }
    FieldReader reader;
    CheckFormat(*object, reader);
    std::optional<SceneState> scene = ReadScene(*object, reader);
    if (!scene)
    {
        *problem = reader.Problem;
    }
    return scene;
}

}  // namespace ramifex
