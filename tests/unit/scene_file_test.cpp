#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <csignal>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "io/scenefile/scene_file.h"
#include "io/scenefile/scene_json.h"

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
    const bool savedPicture =
        WritePictureWithScene(folder.filePath("tree.png"), picture, scene, &pictureError);
    setrlimit(RLIMIT_FSIZE, &usual);
    EXPECT_FALSE(savedScene || savedPicture);
    EXPECT_EQ(error.toStdString(), "Cannot save \"tree.ramifex.json\": file too large.");
    EXPECT_EQ(pictureError.toStdString(), "Cannot save \"tree.png\": file too large.");
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

// A folder, a pipe and a link to one are neither read nor replaced, and nothing is written at a
// name that says another kind of file.
TEST(SceneFile, OnlyRegularFilesOfTheRightNameAreReadOrWritten)
{
    QTemporaryDir folder;
    const QDir here(folder.path());
    ASSERT_EQ(mkfifo(qPrintable(here.filePath("pipe")), 0600), 0);
    ASSERT_TRUE(here.mkdir("folder") && QFile::link(here.filePath("pipe"), here.filePath("link")));
    const QImage picture(4, 4, QImage::Format_RGB32);
    QString error;
    const std::tuple<bool, const char*, const char*> saves[] = {
        // a picture or a scene file, where, and why not
        {false, "pipe", "it is not a regular file"},
        {true, "link", "it is not a regular file"},
        {true, "folder", "it is not a regular file"},
        {false, "tree.png", "a scene file's name ends in .json"},
        {true, "tree.jpg", "a picture's name ends in .png"},
        {true, "tree.ramifex.json", "a picture's name ends in .png"},
    };
    for (const auto& [isPicture, name, why] : saves)
    {
        const QString path = here.filePath(name);
        EXPECT_FALSE(isPicture ? WritePictureWithScene(path, picture, {}, &error)
                               : WriteSceneFile(path, {}, &error));
        EXPECT_EQ(error.toStdString(),
                  QString("Cannot save \"%1\": %2.").arg(name, why).toStdString());
    }
    for (const char* name : {"pipe", "folder", "link"})
    {
        EXPECT_FALSE(ReadSceneFile(here.filePath(name), &error));
        EXPECT_EQ(error.toStdString(),
                  QString("Cannot open \"%1\": it is not a regular file.").arg(name).toStdString());
    }
    struct stat status = {};
    EXPECT_TRUE(lstat(qPrintable(here.filePath("pipe")), &status) == 0 && S_ISFIFO(status.st_mode));
    EXPECT_EQ(here.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              (QStringList{"folder", "link", "pipe"}));
}

QByteArray Chunk(const QByteArray& type, const QByteArray& data)
{
    QByteArray chunk = QByteArray(4, '\0') + type + data + QByteArray(4, '\0');
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.constData() + 4),
                           static_cast<uInt>(data.size() + 4));
    qToBigEndian(static_cast<quint32>(data.size()), chunk.data());
    qToBigEndian(static_cast<quint32>(crc), chunk.data() + chunk.size() - 4);
    return chunk;
}

// A 4 by 4 picture with more chunks after its header, before its image data.
QByteArray PictureWith(const QByteArray& chunks)
{
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImage(4, 4, QImage::Format_RGB32).save(&png, "png");
    return QByteArray(png.data()).insert(33, chunks);  // after the signature and the header
}

// The scene's text chunk of each kind: tEXt, zTXt, iTXt and compressed iTXt.
constexpr int SceneChunkKinds = 4;
QByteArray SceneChunk(int kind, const QByteArray& text)
{
    const QByteArray key("ramifex-scene\0", 14);
    // A text chunk's data before its text, and whether the text is a zlib stream (qCompress's
    // output after its length).
    const std::tuple<const char*, QByteArray, bool> kinds[] = {
        {"tEXt", key, false},
        {"zTXt", key + '\0', true},
        {"iTXt", key + QByteArray("\0\0\0\0", 4), false},  // no language, no translated keyword
        {"iTXt", key + QByteArray("\1\0\0\0", 4), true},
    };
    const auto& [type, head, compressed] = kinds[kind];
    return Chunk(type, head + (compressed ? qCompress(text).sliced(4) : text));
}

// The peak resident size of a process that reads the scene in path and does nothing else.
long PeakMiBReading(const QString& path)
{
    const pid_t child = fork();
    if (child == 0)
    {
        QString error;
        _exit(ReadSceneFile(path, &error) ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return usage.ru_maxrss / 1024;
}

// Of a picture only the scene's text chunk is read, of any of the three kinds, compressed or not,
// and no more of it than the scene's limit: a huge or hugely compressed scene is refused without
// being held, and a damaged chunk says so.
TEST(SceneFile, APicturesSceneIsReadFromItsTextChunkAlone)
{
    std::mt19937_64 bits(5);
    const SceneState scene = RandomScene(bits);
    const QByteArray json = SceneToJson(scene);
    QByteArray noise(2 << 20, '\0');
    std::generate(noise.begin(), noise.end(), [&bits] { return char(bits()); });
    QByteArray badChecksum = SceneChunk(0, json);
    badChecksum.back() = char(badChecksum.back() ^ 1);

    QTemporaryDir folder;
    std::vector<std::pair<QString, QString>> cases;  // the file and why it is refused, if it is
    const auto add = [&](const QString& name, const QByteArray& chunks, const QString& why)
    {
        QFile file(folder.filePath(name));
        const QByteArray png = PictureWith(chunks);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(png) == png.size());
        cases.emplace_back(name, why);
    };
    for (int kind = 0; kind < SceneChunkKinds; ++kind)
    {
        add(QString("kind %1.png").arg(kind), SceneChunk(kind, json), {});
    }
    add("after 9 MiB of other text.png",
        Chunk("tEXt", QByteArray("Comment\0", 8) + QByteArray(9 << 20, 'x')) + SceneChunk(0, json),
        {});
    const QString tooLarge = "the scene is larger than 1 MiB.";
    add("64 MiB.png", SceneChunk(0, json + QByteArray(64 << 20, ' ')), tooLarge);
    add("10 MiB compressed.png", SceneChunk(3, json + QByteArray(10 << 20, ' ')), tooLarge);
    add("over 1 MiB compressed.png", SceneChunk(1, noise), tooLarge);
    add("bad checksum.png", badChecksum, "the picture is damaged.");
    noise = {};

    QString error;
    for (const auto& [name, why] : cases)
    {
        const QString path = folder.filePath(name);
        EXPECT_LT(PeakMiBReading(path), 200) << name.toStdString();
        const std::optional<SceneState> back = ReadSceneFile(path, &error);
        if (why.isEmpty())
        {
            ASSERT_TRUE(back) << error.toStdString();
            EXPECT_TRUE(SameBits(*back, scene)) << name.toStdString();
        }
        else
        {
            EXPECT_EQ(error.toStdString(),
                      QString("Cannot open \"%1\": %2").arg(name, why).toStdString());
        }
    }
}

// A scene of exactly 1 MiB is read, from a scene file or any kind of text chunk; one byte more is
// refused.
TEST(SceneFile, ASceneOfTheLimitsSizeIsReadAndOneByteMoreIsNot)
{
    std::mt19937_64 bits(3);
    const SceneState scene = RandomScene(bits);
    const QByteArray json = SceneToJson(scene);
    QTemporaryDir folder;
    QString error;
    for (const qsizetype size : {MaxSceneBytes, MaxSceneBytes + 1})
    {
        const QByteArray text = json + QByteArray(size - json.size(), ' ');
        std::vector<std::pair<QString, QByteArray>> files{{"scene.ramifex.json", text}};
        for (int kind = 0; kind < SceneChunkKinds; ++kind)
        {
            files.emplace_back(QString("kind %1.png").arg(kind),
                               PictureWith(SceneChunk(kind, text)));
        }
        for (const auto& [name, contents] : files)
        {
            SCOPED_TRACE(name.toStdString() + " of " + std::to_string(size) + " bytes");
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
            file.close();
            const std::optional<SceneState> back = ReadSceneFile(file.fileName(), &error);
            if (size == MaxSceneBytes)
            {
                ASSERT_TRUE(back) << error.toStdString();
                EXPECT_TRUE(SameBits(*back, scene));
            }
            else
            {
                EXPECT_FALSE(back);
                EXPECT_TRUE(error.endsWith("the scene is larger than 1 MiB."))
                    << error.toStdString();
            }
        }
    }
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
