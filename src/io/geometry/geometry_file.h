#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>

#include "io/geometry/exported_geometry.h"

namespace ramifex
{

// The files the spheres are written as.
enum class GeometryFormat
{
    Gltf,       // glTF 2.0 binary (.glb): tessellated spheres with normals and vertex colours
    PlyPoints,  // PLY, binary little-endian: one point per sphere, x y z radius red green blue
    PlyMesh,    // PLY, binary little-endian: tessellated spheres with vertex colours
    Stl,        // STL, binary: tessellated spheres in millimetres, no colour
    Obj,        // OBJ text: tessellated spheres with vertex colours (v x y z r g b)
    VtkPoints,  // VTK XML PolyData (.vtp): one point per sphere, with radius and colour arrays
};

struct GeometryOptions
{
    GeometryFormat Format = GeometryFormat::Gltf;
    double StlRootMillimetres = 10.0;  // the root sphere's diameter in an STL file
    double SmallestMillimetres = 0.0;  // an STL file leaves out the spheres smaller across
};

// The format a file's name asks for (.glb, .ply, .stl, .obj, .vtp, in any case); a .ply holds
// points when `points` is set, triangles otherwise. None for any other name.
std::optional<GeometryFormat> FormatForPath(const QString& path, bool points);

// The size of the file in bytes: exact for the binary formats, near for OBJ's text.
uint64_t FileBytes(const ExportedGeometry& geometry, GeometryFormat format);
// The size of a file of `count` spheres of the given tessellation level, before they are known.
uint64_t EstimatedFileBytes(uint64_t count, int level, GeometryFormat format);
// Whether a format can hold a file of that many bytes (a .glb holds at most 4 GiB).
bool FormatHolds(GeometryFormat format, uint64_t bytes);

// Whether a geometry file may be written at path: a name of one of the formats, in a folder that
// exists, and not over a folder, a pipe or a device. If not, *error says why. Lets a long walk be
// refused before it starts.
bool CanWriteGeometry(const QString& path, QString* error);

// What a write under way shares with whoever waits for it, from another thread: the bytes written
// so far, and a request to stop.
struct WriteProgress
{
    std::atomic<uint64_t> Bytes{0};
    std::atomic<bool> Stop{false};
};

// Writes the spheres (and, in a .glb, the camera when there is one) through QSaveFile, so a failed
// or stopped write leaves any earlier file as it was. False, with `error` saying why, on failure
// (a full disk is told as such) or once stopped.
bool WriteGeometry(const QString& path, const ExportedGeometry& geometry,
                   const GeometryOptions& options, QString* error,
                   WriteProgress* progress = nullptr);

}  // namespace ramifex
