// The PLY, STL and OBJ files: streamed, a sphere at a time.
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "io/geometry/file_writers.h"

namespace ramifex
{

void ByteWriter::FlushWhenFull()
{
    if (buffer_.size() >= (1u << 20))
    {
        Flush();
    }
}

void ByteWriter::Flush()
{
    Hand(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void ByteWriter::Bytes(std::string_view bytes)
{
    Flush();
    constexpr size_t Piece = 1u << 20;
    for (size_t at = 0; at < bytes.size(); at += Piece)
    {
        Hand(bytes.data() + at, std::min(Piece, bytes.size() - at));
    }
}

// The device's failure is kept with the system's error number, read before anything else can
// change it: the toolkit's own message for a full disk says nothing.
void ByteWriter::Hand(const char* data, size_t size)
{
    if (size == 0)
    {
        return;
    }
    if (Stopped())
    {
        failed_ = true;
        return;
    }
    if (device_.write(data, static_cast<qint64>(size)) != static_cast<qint64>(size))
    {
        errorCode_ = errno;
        failed_ = true;
        return;
    }
    if (progress_ != nullptr)
    {
        progress_->Bytes += size;
    }
}

bool ByteWriter::Finish()
{
    Flush();
    return !failed_;
}

MeshCounts CountMesh(const ExportedGeometry& geometry)
{
    MeshCounts counts;
    for (const ExportedSphere& sphere : geometry.Spheres)
    {
        counts.Points += MeshOf(sphere).Points.size();
        counts.Triangles += MeshOf(sphere).Indices.size() / 3;
    }
    return counts;
}

std::string PlyPointsHeader(uint64_t spheres)
{
    return "ply\nformat binary_little_endian 1.0\ncomment spheres of Ramifex\nelement vertex " +
           std::to_string(spheres) +
           "\nproperty float x\nproperty float y\nproperty float z\nproperty float radius\n"
           "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n";
}

std::string PlyMeshHeader(const MeshCounts& counts)
{
    return "ply\nformat binary_little_endian 1.0\ncomment spheres of Ramifex\nelement vertex " +
           std::to_string(counts.Points) +
           "\nproperty float x\nproperty float y\nproperty float z\n"
           "property float nx\nproperty float ny\nproperty float nz\n"
           "property uchar red\nproperty uchar green\nproperty uchar blue\nelement face " +
           std::to_string(counts.Triangles) +
           "\nproperty list uchar uint vertex_indices\nend_header\n";
}

void WritePlyPoints(const ExportedGeometry& geometry, ByteWriter& out)
{
    out.Text(PlyPointsHeader(geometry.Spheres.size()));
    for (const ExportedSphere& sphere : geometry.Spheres)
    {
        if (out.Stopped())
        {
            return;
        }
        out.Put(ZUp(sphere.Centre));
        out.Put(sphere.Radius);
        out.Put(sphere.Colour);
    }
}

void WritePlyMesh(const ExportedGeometry& geometry, ByteWriter& out)
{
    out.Text(PlyMeshHeader(CountMesh(geometry)));
    for (const ExportedSphere& sphere : geometry.Spheres)
    {
        if (out.Stopped())
        {
            return;
        }
        for (const auto& p : MeshOf(sphere).Points)
        {
            out.Put(ZUp(PlacePoint(sphere, p)));
            out.Put(ZUp(p));  // a point of the unit sphere is its own normal
            out.Put(sphere.Colour);
        }
    }
    uint32_t first = 0;
    for (const ExportedSphere& sphere : geometry.Spheres)
    {
        if (out.Stopped())
        {
            return;
        }
        const SphereMesh& mesh = MeshOf(sphere);
        for (size_t i = 0; i < mesh.Indices.size(); i += 3)
        {
            out.Put(uint8_t{3});
            for (size_t k = 0; k < 3; ++k)
            {
                out.Put(first + mesh.Indices[i + k]);
            }
        }
        first += static_cast<uint32_t>(mesh.Points.size());
    }
}

namespace
{

std::array<float, 3> FacetNormal(const std::array<std::array<float, 3>, 3>& corner)
{
    std::array<double, 3> u{};
    std::array<double, 3> v{};
    for (int i = 0; i < 3; ++i)
    {
        u[i] = double(corner[1][i]) - corner[0][i];
        v[i] = double(corner[2][i]) - corner[0][i];
    }
    const std::array<double, 3> n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                     u[0] * v[1] - u[1] * v[0]};
    const double length = std::hypot(n[0], n[1], n[2]);
    if (length == 0.0)
    {
        return {};
    }
    return {static_cast<float>(n[0] / length), static_cast<float>(n[1] / length),
            static_cast<float>(n[2] / length)};
}

}  // namespace

void WriteStl(const ExportedGeometry& geometry, double rootMillimetres, ByteWriter& out)
{
    std::string header = "binary STL of Ramifex spheres, in millimetres";
    header.resize(80, ' ');
    out.Text(header);
    out.Put(static_cast<uint32_t>(CountMesh(geometry).Triangles));
    const float millimetres = static_cast<float>(rootMillimetres / 2.0);
    for (ExportedSphere sphere : geometry.Spheres)
    {
        if (out.Stopped())
        {
            return;
        }
        for (float& c : sphere.Centre)
        {
            c *= millimetres;
        }
        sphere.Radius *= millimetres;
        const SphereMesh& mesh = MeshOf(sphere);
        for (size_t i = 0; i < mesh.Indices.size(); i += 3)
        {
            const std::array<std::array<float, 3>, 3> corner = {
                ZUp(PlacePoint(sphere, mesh.Points[mesh.Indices[i]])),
                ZUp(PlacePoint(sphere, mesh.Points[mesh.Indices[i + 1]])),
                ZUp(PlacePoint(sphere, mesh.Points[mesh.Indices[i + 2]]))};
            out.Put(FacetNormal(corner));
            out.Put(corner);
            out.Put(uint16_t{0});
        }
    }
}

void WriteObj(const ExportedGeometry& geometry, ByteWriter& out)
{
    out.Text("# spheres of Ramifex: v x y z red green blue, vn of each v, f v//vn\n");
    uint64_t first = 1;
    char line[160];
    for (const ExportedSphere& sphere : geometry.Spheres)
    {
        if (out.Stopped())
        {
            return;
        }
        const SphereMesh& mesh = MeshOf(sphere);
        for (const auto& p : mesh.Points)
        {
            const auto v = PlacePoint(sphere, p);
            std::snprintf(line, sizeof line, "v %.7g %.7g %.7g %.4g %.4g %.4g\nvn %.4g %.4g %.4g\n",
                          v[0], v[1], v[2], sphere.Colour[0] / 255.0, sphere.Colour[1] / 255.0,
                          sphere.Colour[2] / 255.0, p[0], p[1], p[2]);
            out.Text(line);
        }
        for (size_t i = 0; i < mesh.Indices.size(); i += 3)
        {
            const auto a = static_cast<unsigned long long>(first + mesh.Indices[i]);
            const auto b = static_cast<unsigned long long>(first + mesh.Indices[i + 1]);
            const auto c = static_cast<unsigned long long>(first + mesh.Indices[i + 2]);
            std::snprintf(line, sizeof line, "f %llu//%llu %llu//%llu %llu//%llu\n", a, a, b, b, c,
                          c);
            out.Text(line);
        }
        first += mesh.Points.size();
    }
}

}  // namespace ramifex
