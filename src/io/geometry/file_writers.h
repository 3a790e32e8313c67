#pragma once

#include <QIODevice>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/mesh/sphere_mesh.h"
#include "io/geometry/exported_geometry.h"
#include "io/geometry/geometry_file.h"

namespace ramifex
{

static_assert(std::endian::native == std::endian::little, "the binary files are little-endian");

// Gathers a file's bytes and hands them to the device a megabyte at a time, counting them in
// `progress` when given, which can also ask it to stop.
class ByteWriter
{
public:
    explicit ByteWriter(QIODevice& device, WriteProgress* progress = nullptr)
        : device_(device), progress_(progress)
    {
    }

    template <typename T>
    void Put(const T& value)
    {
        buffer_.append(reinterpret_cast<const char*>(&value), sizeof(value));
        FlushWhenFull();
    }
    void Text(const std::string& text)
    {
        buffer_ += text;
        FlushWhenFull();
    }
    // Bytes already gathered elsewhere, handed on a megabyte at a time.
    void Bytes(std::string_view bytes);
    // A write failed or a stop was asked for: the writers leave off at once.
    bool Stopped() const
    {
        return failed_ || (progress_ != nullptr && progress_->Stop.load(std::memory_order_relaxed));
    }
    // Whether every byte reached the device.
    bool Finish();
    // The system's error number of the write that failed; 0 when none failed.
    int ErrorCode() const { return errorCode_; }

private:
    void FlushWhenFull();
    void Flush();
    void Hand(const char* data, size_t size);

    QIODevice& device_;
    WriteProgress* progress_;
    std::string buffer_;
    bool failed_ = false;
    int errorCode_ = 0;
};

// A point of a sphere's tessellation, placed on the sphere.
inline std::array<float, 3> PlacePoint(const ExportedSphere& sphere, const std::array<float, 3>& p)
{
    return {sphere.Centre[0] + sphere.Radius * p[0], sphere.Centre[1] + sphere.Radius * p[1],
            sphere.Centre[2] + sphere.Radius * p[2]};
}

// PLY, STL and VTK files have no up of their own, and the tools that read them take +Z as up: the
// picture's up, +Y, becomes +Z by a quarter turn about X. glTF and OBJ keep +Y up, their own.
inline std::array<float, 3> ZUp(const std::array<float, 3>& p)
{
    return {p[0], -p[2], p[1]};
}

inline const SphereMesh& MeshOf(const ExportedSphere& sphere)
{
    return SphereAtLevel(sphere.Level);
}

struct MeshCounts
{
    uint64_t Points = 0;
    uint64_t Triangles = 0;
};
MeshCounts CountMesh(const ExportedGeometry& geometry);

void WritePlyPoints(const ExportedGeometry& geometry, ByteWriter& out);
void WritePlyMesh(const ExportedGeometry& geometry, ByteWriter& out);
void WriteStl(const ExportedGeometry& geometry, double rootMillimetres, ByteWriter& out);
void WriteObj(const ExportedGeometry& geometry, ByteWriter& out);
void WriteVtkPoints(const ExportedGeometry& geometry, ByteWriter& out);
// The whole .glb; false with `error` set when the library cannot write it.
bool WriteGltf(const ExportedGeometry& geometry, ByteWriter& out, QString* error);

// The fixed parts of the files, for their sizes.
uint64_t VtkPointsBytes(uint64_t points);
std::string PlyPointsHeader(uint64_t spheres);
std::string PlyMeshHeader(const MeshCounts& counts);
inline constexpr uint64_t PlyPointBytes = 4 * 4 + 3;
inline constexpr uint64_t PlyVertexBytes = 6 * 4 + 3;
inline constexpr uint64_t PlyFaceBytes = 1 + 3 * 4;
inline constexpr uint64_t StlHeaderBytes = 80 + 4;
inline constexpr uint64_t StlTriangleBytes = 12 * 4 + 2;
// A glTF vertex: position (3 shorts and one of padding), normal (3 signed bytes and one of
// padding), linear colour (3 unsigned shorts and one of padding).
inline constexpr uint64_t GltfVertexBytes = 20;
inline constexpr uint64_t GltfIndexBytes = 2;

}  // namespace ramifex
