#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include "core/mesh/sphere_mesh.h"
#include "io/geometry/geometry_file.h"
#include "io/geometry/printed_pieces.h"

namespace ramifex
{
namespace
{

using Point = std::array<float, 3>;

// What a reader finds in a file: its points (or, for STL, its triangles' corners), their normals
// where the file has them, and its triangles.
struct ReadBack
{
    size_t Points = 0;
    std::vector<std::pair<Point, Point>> Normals;  // each point with its normal
    size_t Triangles = 0;
    Point Low{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
              std::numeric_limits<float>::max()};
    Point High{-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
               -std::numeric_limits<float>::max()};

    void Add(const Point& p)
    {
        ++Points;
        for (int i = 0; i < 3; ++i)
        {
            Low[i] = std::min(Low[i], p[i]);
            High[i] = std::max(High[i], p[i]);
        }
    }
};

template <typename T>
T Take(const QByteArray& bytes, qsizetype& at)
{
    T value;
    std::memcpy(&value, bytes.constData() + at, sizeof value);
    at += sizeof value;
    return value;
}

// The counts a PLY header declares, and where its data starts.
struct PlyHeader
{
    size_t Vertices = 0;
    size_t Faces = 0;
    qsizetype DataStart = 0;
};

PlyHeader ReadPlyHeader(const QByteArray& bytes)
{
    PlyHeader header;
    const qsizetype end = bytes.indexOf("end_header\n");
    std::istringstream lines(bytes.left(end).toStdString());
    EXPECT_TRUE(bytes.startsWith("ply\nformat binary_little_endian 1.0\n"));
    for (std::string word; lines >> word;)
    {
        if (word == "element")
        {
            lines >> word;
            (word == "vertex" ? lines >> header.Vertices : lines >> header.Faces);
        }
    }
    header.DataStart = end + qsizetype(std::strlen("end_header\n"));
    return header;
}

ReadBack ReadPly(const QByteArray& bytes, bool points)
{
    const PlyHeader header = ReadPlyHeader(bytes);
    ReadBack read;
    qsizetype at = header.DataStart;
    for (size_t v = 0; v < header.Vertices; ++v)
    {
        const Point p = Take<Point>(bytes, at);
        read.Add(p);
        if (!points)
        {
            read.Normals.emplace_back(p, Take<Point>(bytes, at));
        }
        at += points ? 4 + 3 : 3;  // the radius and the colour
    }
    for (size_t f = 0; f < header.Faces; ++f)
    {
        EXPECT_EQ(Take<uint8_t>(bytes, at), 3);
        for (int k = 0; k < 3; ++k)
        {
            EXPECT_LT(Take<uint32_t>(bytes, at), header.Vertices);
        }
        ++read.Triangles;
    }
    EXPECT_EQ(at, bytes.size());
    return read;
}

ReadBack ReadStl(const QByteArray& bytes)
{
    ReadBack read;
    qsizetype at = 80;
    read.Triangles = Take<uint32_t>(bytes, at);
    for (size_t t = 0; t < read.Triangles; ++t)
    {
        at += 12;  // the facet's normal
        for (int k = 0; k < 3; ++k)
        {
            read.Add(Take<Point>(bytes, at));
        }
        at += 2;
    }
    EXPECT_EQ(at, bytes.size());
    return read;
}

ReadBack ReadObj(const QByteArray& bytes)
{
    ReadBack read;
    std::istringstream lines(bytes.toStdString());
    for (std::string line; std::getline(lines, line);)
    {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v")
        {
            Point p;
            std::array<float, 3> colour{};
            words >> p[0] >> p[1] >> p[2] >> colour[0] >> colour[1] >> colour[2];
            EXPECT_FALSE(words.fail()) << line;
            read.Add(p);
        }
        else if (kind == "vn")
        {
            Point n;
            words >> n[0] >> n[1] >> n[2];
            EXPECT_FALSE(words.fail()) << line;
            read.Normals.emplace_back(Point{}, n);
        }
        else if (kind == "f")
        {
            // Each corner names its point and its normal, the same: "f 1//1 2//2 3//3".
            for (int k = 0; k < 3; ++k)
            {
                size_t v = 0, n = 0;
                char slash[2] = {};
                words >> v >> slash[0] >> slash[1] >> n;
                EXPECT_TRUE(!words.fail() && v == n && v >= 1 && v <= read.Points) << line;
            }
            ++read.Triangles;
        }
    }
    return read;
}

// Spheres of every tessellation level. The latitude spheres reach the box around them on their
// poles' axis, z, so the z bounds are the boxes'; the tetrahedron lies within the others' bounds.
ExportedGeometry ThreeSpheres()
{
    return {{{{0.0f, 0.0f, 0.0f}, 1.0f, {255, 255, 255}, 3},
             {{2.0f, -1.0f, 0.5f}, 0.5f, {10, 200, 30}, 1},
             {{-1.5f, 1.0f, -3.0f}, 0.25f, {200, 90, 10}, 5},
             {{0.0f, 0.0f, 0.2f}, 0.3f, {0, 90, 10}, 2},
             {{0.2f, 0.0f, 0.0f}, 0.2f, {0, 90, 10}, 4},
             {{0.5f, 0.5f, 0.5f}, 0.1f, {0, 0, 255}, 0}},
            std::nullopt};
}

// A file with +Z up read back in the spheres' frame, where +Y is up.
Point FromZUp(const Point& p)
{
    return {p[0], p[2], -p[1]};
}

// Each format written and read back: its counts, the bounds of its points in the spheres' frame
// (the z bounds are the spheres' own, x and y within them) so that up is where the format's
// readers take it, the normals of the first sphere (at the origin, of radius 1: its points), and
// its size as told before writing.
TEST(GeometryFile, WrittenFilesReadBackWithTheirCountsAndBounds)
{
    const ExportedGeometry geometry = ThreeSpheres();
    size_t points = 0;
    size_t triangles = 0;
    for (const ExportedSphere& sphere : geometry.Spheres)
    {
        points += SphereAtLevel(sphere.Level).Points.size();
        triangles += SphereAtLevel(sphere.Level).Indices.size() / 3;
    }
    const QTemporaryDir folder;
    struct Case
    {
        const char* Name;
        GeometryFormat Format;
        size_t Points;  // read back: STL repeats each triangle's corners
        size_t Triangles;
        float Scale;       // millimetres per unit for STL
        double SizeSlack;  // how far the size told may be from the file's
        bool ZUp;          // readers of PLY and STL take +Z as up, of OBJ +Y
        bool Normals;
    };
    const Case cases[] = {
        {"points.ply", GeometryFormat::PlyPoints, geometry.Spheres.size(), 0, 1.0f, 0.0, true,
         false},
        {"mesh.ply", GeometryFormat::PlyMesh, points, triangles, 1.0f, 0.0, true, true},
        {"mesh.stl", GeometryFormat::Stl, 3 * triangles, triangles, 5.0f, 0.0, true, false},
        {"mesh.obj", GeometryFormat::Obj, points, triangles, 1.0f, 0.3, false, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        const QString path = folder.filePath(QString::fromLatin1(c.Name));
        QString error;
        ASSERT_TRUE(WriteGeometry(path, geometry, {c.Format, 10.0}, &error)) << error.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const ReadBack read = c.Format == GeometryFormat::Stl ? ReadStl(bytes)
                              : c.Format == GeometryFormat::Obj
                                  ? ReadObj(bytes)
                                  : ReadPly(bytes, c.Format == GeometryFormat::PlyPoints);
        EXPECT_EQ(read.Points, c.Points);
        EXPECT_EQ(read.Triangles, c.Triangles);
        const bool centres = c.Format == GeometryFormat::PlyPoints;
        // A quarter turn swaps the bounds of the axis that turns to minus another.
        const Point low = c.ZUp ? FromZUp({read.Low[0], read.High[1], read.Low[2]}) : read.Low;
        const Point high = c.ZUp ? FromZUp({read.High[0], read.Low[1], read.High[2]}) : read.High;
        EXPECT_NEAR(low[2], (centres ? -3.0f : -3.25f) * c.Scale, 1e-5);
        EXPECT_NEAR(high[2], (centres ? 0.5f : 1.0f) * c.Scale, 1e-5);
        EXPECT_GE(low[0], -1.75f * c.Scale - 1e-5);
        EXPECT_LE(high[0], 2.5f * c.Scale + 1e-5);
        ASSERT_EQ(read.Normals.size(), c.Normals ? c.Points : 0);
        for (size_t i = 0; c.Normals && i < SphereAtLevel(3).Points.size(); ++i)
        {
            const Point& n = read.Normals[i].second;
            const Point expected = c.ZUp ? read.Normals[i].first : SphereAtLevel(3).Points[i];
            for (int k = 0; k < 3; ++k)
            {
                ASSERT_NEAR(n[k], expected[k], 1e-4) << i;
            }
        }
        const double told = double(FileBytes(geometry, c.Format));
        EXPECT_NEAR(told, double(bytes.size()), c.SizeSlack * double(bytes.size()));
    }
}

template <typename T>
T BufferValue(const tinygltf::Model& model, const tinygltf::Accessor& accessor, size_t element,
              size_t component = 0)
{
    const tinygltf::BufferView& view = model.bufferViews.at(accessor.bufferView);
    const size_t stride = view.byteStride != 0 ? view.byteStride : sizeof(T);
    const size_t at =
        view.byteOffset + accessor.byteOffset + element * stride + component * sizeof(T);
    const std::vector<unsigned char>& data = model.buffers.at(view.buffer).data;
    EXPECT_LE(at + sizeof(T), data.size());
    T value{};
    std::memcpy(&value, data.data() + at, sizeof(T));
    return value;
}

// The indices of one of a .glb's meshes, each below its points' count; returns how many of its
// points no triangle uses.
size_t PointsUnused(const tinygltf::Model& model, const tinygltf::Primitive& mesh)
{
    const tinygltf::Accessor& points = model.accessors.at(mesh.attributes.at("POSITION"));
    const tinygltf::Accessor& indices = model.accessors.at(mesh.indices);
    EXPECT_EQ(indices.componentType, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT);
    std::vector<bool> used(points.count, false);
    for (size_t k = 0; k < indices.count; ++k)
    {
        const auto index = BufferValue<uint16_t>(model, indices, k);
        EXPECT_LT(index, points.count);
        used[std::min<size_t>(index, points.count - 1)] = true;
    }
    return static_cast<size_t>(std::count(used.begin(), used.end(), false));
}

// A node colour in 16-bit linear light, as glTF defines vertex colours.
uint16_t Linear(uint8_t srgb)
{
    const double c = srgb / 255.0;
    return static_cast<uint16_t>(std::lround(std::pow((c + 0.055) / 1.055, 2.4) * 65535.0));
}

// More spheres than one mesh of 16-bit indices holds, of two sizes so that no mesh fills evenly,
// and a few too small to keep an area once their points are stored in 16 bits: the .glb splits
// them into meshes whose indices reach all their points and no others (the largest index value is
// reserved), with every triangle but the small spheres', and colours in linear light.
TEST(GeometryFile, AGlbSplitsItsSpheresWhereSixteenBitIndicesEnd)
{
    ExportedGeometry geometry;
    size_t triangles = 0;
    for (int i = 0; i < 200; ++i)
    {
        const uint8_t level = i % 3 == 0 ? 4 : 5;
        geometry.Spheres.push_back({{float(i), 0.0f, 0.0f}, 0.4f, {200, 100, 50}, level});
        triangles += SphereAtLevel(level).Indices.size() / 3;
    }
    constexpr size_t Specks = 5;
    for (size_t i = 0; i < Specks; ++i)
    {
        geometry.Spheres.push_back({{199.0f, 0.5f, 0.0f}, 1e-5f, {200, 100, 50}, 0});
    }
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("tree.glb"));
    QString error;
    ASSERT_TRUE(WriteGeometry(path, geometry, {GeometryFormat::Gltf}, &error))
        << error.toStdString();
    tinygltf::Model model;
    std::string failure;
    std::string warning;
    ASSERT_TRUE(
        tinygltf::TinyGLTF().LoadBinaryFromFile(&model, &failure, &warning, path.toStdString()))
        << failure;
    EXPECT_GT(model.meshes.size(), 3U);
    size_t read = 0;
    size_t unused = 0;
    for (const tinygltf::Mesh& mesh : model.meshes)
    {
        for (const tinygltf::Primitive& primitive : mesh.primitives)
        {
            EXPECT_LE(model.accessors.at(primitive.attributes.at("POSITION")).count, 65535U);
            unused += PointsUnused(model, primitive);
            read += model.accessors.at(primitive.indices).count / 3;
            const tinygltf::Accessor& colour =
                model.accessors.at(primitive.attributes.at("COLOR_0"));
            ASSERT_EQ(colour.componentType, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT);
            ASSERT_TRUE(colour.normalized);
            for (size_t k = 0; k < 3; ++k)
            {
                EXPECT_EQ(BufferValue<uint16_t>(model, colour, colour.count - 1, k),
                          Linear(std::array<uint8_t, 3>{200, 100, 50}[k]));
            }
        }
    }
    EXPECT_EQ(read, triangles);
    EXPECT_EQ(unused, Specks * SphereAtLevel(0).Points.size());
}

TEST(GeometryFile, NamesGiveTheFormatAndNothingIsWrittenOverAFolder)
{
    EXPECT_EQ(FormatForPath(QStringLiteral("a.GLB"), false), GeometryFormat::Gltf);
    EXPECT_EQ(FormatForPath(QStringLiteral("a.ply"), true), GeometryFormat::PlyPoints);
    EXPECT_EQ(FormatForPath(QStringLiteral("a.ply"), false), GeometryFormat::PlyMesh);
    EXPECT_EQ(FormatForPath(QStringLiteral("a.png"), false), std::nullopt);

    const QTemporaryDir folder;
    QString error;
    EXPECT_FALSE(WriteGeometry(folder.path() + QStringLiteral("/."), ThreeSpheres(), {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(
        WriteGeometry(folder.filePath(QStringLiteral("gone/a.glb")), ThreeSpheres(), {}, &error));
}

// Spheres that touch or overlap are one piece, whatever their sizes; the smallest are left out of
// a print, and what is left may fall apart.
TEST(GeometryFile, PiecesAreSpheresThatTouch)
{
    const auto sphere = [](float x, float radius) {
        return ExportedSphere{{x, 0.5f, -0.25f}, radius, {}, 0};
    };
    struct Case
    {
        const char* What;
        std::vector<ExportedSphere> Spheres;
        uint64_t Pieces;
    };
    const Case cases[] = {
        {"none", {}, 0},
        {"apart", {sphere(0, 1), sphere(2.01f, 1)}, 2},
        {"touching", {sphere(0, 1), sphere(2, 1)}, 1},
        {"a chain", {sphere(0, 1), sphere(1.3f, 0.4f), sphere(2.4f, 0.8f)}, 1},
        {"a speck inside", {sphere(0, 1), sphere(0.3f, 1e-6f)}, 1},
        {"a speck beside", {sphere(0, 1), sphere(1.0f + 2e-6f, 1e-6f)}, 2},
        {"far and large", {sphere(-1e6f, 1e5f), sphere(-8.9e5f, 1e4f), sphere(0, 1e-3f)}, 2},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(CountPieces(c.Spheres), c.Pieces) << c.What;
    }
    std::vector<ExportedSphere> chain = {sphere(0, 1), sphere(1.3f, 0.4f), sphere(2.4f, 0.8f)};
    EXPECT_EQ(LeaveOutSmallerThan(chain, 0.5f), 1u);
    EXPECT_EQ(chain.size(), 2u);
    EXPECT_EQ(CountPieces(chain), 2u);
}

}  // namespace
}  // namespace ramifex
