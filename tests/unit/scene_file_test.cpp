#include <sys/resource.h>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <bit>
#include <cmath>
#include <csignal>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "scenefile/scene_file.h"
#include "scenefile/scene_json.h"

namespace ramifex
{
namespace
{

// Any finite doubles but negative zero (which reads back as zero), a quarter of them whole numbers.
SceneState RandomScene(std::mt19937_64& bits)
{
    const auto n = [&bits]
    {
        const double value = std::bit_cast<double>(bits());
        return std::isfinite(value) && bits() % 4 != 0 ? value : double(int32_t(bits()));
    };
    SceneState scene;
    for (BranchParams& record : scene.Records)
    {
        record = {n(), {n(), n(), n()}, n(), n(), {n(), n(), n()}, n()};
    }
    scene.ViewOffset = {n(), n(), n()};
    scene.Iterations = static_cast<int32_t>(bits() % MaxDepth) + 1;
    return scene;
}

bool SameBits(const SceneState& a, const SceneState& b)
{
    return std::memcmp(&a.Records, &b.Records, sizeof a.Records) == 0 &&
           std::memcmp(&a.ViewOffset, &b.ViewOffset, sizeof a.ViewOffset) == 0 &&
           a.Iterations == b.Iterations;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The default scene's file with one field, of a record or at the top, set or removed.
QByteArray WithField(const QString& record, const QString& key, const QJsonValue& value)
{
    QJsonObject scene = QJsonDocument::fromJson(SceneToJson(SceneState{})).object();
    QJsonObject target = record.isEmpty() ? scene : scene[record].toObject();
    target.insert(key, value);
    scene.insert(record, target);
    return QJsonDocument(record.isEmpty() ? target : scene).toJson();
}

TEST(SceneFile, RandomScenesComeBackBitForBit)
{
    std::mt19937_64 bits(20240607);
    QString problem;
    for (int i = 0; i < 1000; ++i)
    {
        const SceneState scene = RandomScene(bits);
        const std::optional<SceneState> back = SceneFromJson(SceneToJson(scene), &problem);
        ASSERT_TRUE(back) << problem.toStdString();
        EXPECT_TRUE(SameBits(*back, scene)) << SceneToJson(scene).toStdString();
    }
}

TEST(SceneFile, BadFilesAreRefusedNamingTheFileAndTheField)
{
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImage(4, 4, QImage::Format_RGB32).save(&png, "png");
    const QJsonValue missing(QJsonValue::Undefined);
    const QString iterations = "the field \"iterations\" is not a whole number from 1 to 30.";
    const std::pair<QByteArray, QString> cases[] = {
        {"tree", "it is not valid JSON (illegal value at character 1)."},
        {R"({"format": "ramifex-scene", "version": 1e999})",
         "it is not valid JSON (illegal number at character 44)."},
        {"[1, 2, 3]", "it does not hold a JSON object."},
        {WithField("", "format", "other-scene"), "the field \"format\" is not \"ramifex-scene\"."},
        {WithField("", "version", 2),
         "it was saved by a newer Ramifex (scene format 2; this one reads format 1)."},
        {WithField("", "version", 0), "the field \"version\" is not 1."},
        {WithField("branch 1", "scale", missing), "the field \"branch 1\".scale is missing."},
        {WithField("branch 1", "scale", "0.5"), "the field \"branch 1\".scale is not a number."},
        {WithField("", "branch 2", 3), "the field \"branch 2\" is not an object."},
        {WithField("base", "axis", QJsonArray{1, 0}),
         "the field \"base\".axis is not a list of three numbers."},
        {WithField("base", "colour", QJsonArray{1, QJsonValue::Null, 1}),
         "the field \"base\".colour[1] is not a number."},
        {WithField("", "iterations", 31), iterations},
        {WithField("", "iterations", 5.5), iterations},
        {SceneToJson(SceneState{}) + QByteArray(MaxSceneBytes, ' '),
         "the scene is larger than 1 MiB."},
        {png.data(), "the picture carries no Ramifex scene."},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath("bad.ramifex.json");
    QString error;
    for (const auto& [contents, why] : cases)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();
        EXPECT_FALSE(ReadSceneFile(path, &error));
        EXPECT_EQ(error.toStdString(), ("Cannot open \"bad.ramifex.json\": " + why).toStdString());
    }
    EXPECT_FALSE(ReadSceneFile(folder.filePath("gone.ramifex.json"), &error));
    EXPECT_EQ(error.toStdString(), "Cannot open \"gone.ramifex.json\": no such file or directory.");
}

TEST(SceneFile, AFailedSaveKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("tree.ramifex.json");
    std::mt19937_64 bits(7);
    const SceneState old = RandomScene(bits);
    QString error;
    ASSERT_TRUE(WriteSceneFile(path, old, &error));
    const QByteArray oldContents = Contents(path);

    SceneState scene;
    QString pictureError;
    // No file may grow past 64 bytes meanwhile, so the saves fail as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit size{};
    getrlimit(RLIMIT_FSIZE, &size);
    const rlimit usual = size;
    size.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &size);
    const bool savedScene = WriteSceneFile(path, scene, &error);
    const QImage picture(64, 64, QImage::Format_RGB32);
    const bool savedPicture = WritePictureWithScene(path, picture, scene, &pictureError);
    setrlimit(RLIMIT_FSIZE, &usual);
    EXPECT_FALSE(savedScene || savedPicture);
    EXPECT_EQ(error.toStdString(), "Cannot save \"tree.ramifex.json\": file too large.");
    EXPECT_EQ(pictureError, error);
    EXPECT_FALSE(WriteSceneFile(folder.filePath("gone/tree.ramifex.json"), scene, &error));
    EXPECT_EQ(error.toStdString(), "Cannot save \"tree.ramifex.json\": no such file or directory.");
    // JSON cannot hold it, so the file could not give it back.
    scene.Records[Branch2Record].Angle = NAN;
    EXPECT_FALSE(WriteSceneFile(path, scene, &error));
    EXPECT_EQ(error.toStdString(),
              "Cannot save \"tree.ramifex.json\": the field \"branch 2\".angle is not a number.");

    EXPECT_EQ(Contents(path), oldContents);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"tree.ramifex.json"});
    const std::optional<SceneState> back = ReadSceneFile(path, &error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_TRUE(SameBits(*back, old));
}

// A PNG of noise is well over the 1 MiB limit, which holds for the scene only.
TEST(SceneFile, AnExportedPictureCarriesItsScene)
{
    std::mt19937_64 bits(99);
    QImage picture(1024, 512, QImage::Format_RGB888);
    std::generate_n(picture.bits(), picture.sizeInBytes(), [&bits] { return uchar(bits()); });
    const SceneState scene = RandomScene(bits);
    QTemporaryDir folder;
    const QString path = folder.filePath("tree.png");
    QString error;
    ASSERT_TRUE(WritePictureWithScene(path, picture, scene, &error)) << error.toStdString();
    EXPECT_GT(QFileInfo(path).size(), MaxSceneBytes);
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB888), picture);
    const std::optional<SceneState> back = ReadSceneFile(path, &error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_TRUE(SameBits(*back, scene));
}

}  // namespace
}  // namespace ramifex
