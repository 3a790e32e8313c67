#include "io/geometry/geometry_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <limits>

#include "io/geometry/file_writers.h"

namespace ramifex
{
namespace
{

// The JSON part of a .glb: the fixed objects, and those of each primitive.
constexpr uint64_t GltfFixedBytes = 1200;
constexpr uint64_t GltfPrimitiveBytes = 700;
// A point's vertex and normal lines and a face line of an OBJ file, on average.
constexpr uint64_t ObjPointBytes = 77;
constexpr uint64_t ObjTriangleBytes = 38;

uint64_t MeshBytes(const MeshCounts& counts, GeometryFormat format)
{
    switch (format)
    {
        case GeometryFormat::Gltf:
            return GltfFixedBytes + (counts.Points / 65535 + 1) * GltfPrimitiveBytes +
                   counts.Points * GltfVertexBytes + counts.Triangles * 3 * GltfIndexBytes;
        case GeometryFormat::PlyMesh:
            return PlyMeshHeader(counts).size() + counts.Points * PlyVertexBytes +
                   counts.Triangles * PlyFaceBytes;
        case GeometryFormat::Stl:
            return StlHeaderBytes + counts.Triangles * StlTriangleBytes;
        case GeometryFormat::Obj:
            return counts.Points * ObjPointBytes + counts.Triangles * ObjTriangleBytes;
        case GeometryFormat::PlyPoints:
        case GeometryFormat::VtkPoints:
            break;
    }
    return 0;
}

bool WriteFormat(const ExportedGeometry& geometry, const GeometryOptions& options, ByteWriter& out,
                 QString* error)
{
    switch (options.Format)
    {
        case GeometryFormat::Gltf:
            return WriteGltf(geometry, out, error);
        case GeometryFormat::PlyPoints:
            WritePlyPoints(geometry, out);
            break;
        case GeometryFormat::PlyMesh:
            WritePlyMesh(geometry, out);
            break;
        case GeometryFormat::Stl:
            WriteStl(geometry, options.StlRootMillimetres, out);
            break;
        case GeometryFormat::Obj:
            WriteObj(geometry, out);
            break;
        case GeometryFormat::VtkPoints:
            WriteVtkPoints(geometry, out);
            break;
    }
    return true;
}

// Why a write failed: the system's reason, a full disk said as such, else the toolkit's.
QString WriteFailure(const QString& path, int code, const QFileDevice& file)
{
    const QString reason = code == ENOSPC || code == EDQUOT ? QStringLiteral("the disk is full")
                           : code != 0 ? QString::fromLocal8Bit(std::strerror(code))
                                       : file.errorString();
    return QStringLiteral("cannot write \"%1\": %2").arg(path, reason);
}

}  // namespace

std::optional<GeometryFormat> FormatForPath(const QString& path, bool points)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("glb"))
    {
        return GeometryFormat::Gltf;
    }
    if (suffix == QLatin1String("ply"))
    {
        return points ? GeometryFormat::PlyPoints : GeometryFormat::PlyMesh;
    }
    if (suffix == QLatin1String("stl"))
    {
        return GeometryFormat::Stl;
    }
    if (suffix == QLatin1String("obj"))
    {
        return GeometryFormat::Obj;
    }
    if (suffix == QLatin1String("vtp"))
    {
        return GeometryFormat::VtkPoints;
    }
    return std::nullopt;
}

// A file of points has no tessellation.
std::optional<uint64_t> PointsFileBytes(uint64_t count, GeometryFormat format)
{
    if (format == GeometryFormat::PlyPoints)
    {
        return PlyPointsHeader(count).size() + count * PlyPointBytes;
    }
    if (format == GeometryFormat::VtkPoints)
    {
        return VtkPointsBytes(count);
    }
    return std::nullopt;
}

uint64_t FileBytes(const ExportedGeometry& geometry, GeometryFormat format)
{
    return PointsFileBytes(geometry.Spheres.size(), format)
        .value_or(MeshBytes(CountMesh(geometry), format));
}

uint64_t EstimatedFileBytes(uint64_t count, int level, GeometryFormat format)
{
    const SphereMesh& mesh = SphereAtLevel(level);
    return PointsFileBytes(count, format)
        .value_or(MeshBytes({count * mesh.Points.size(), count * mesh.Indices.size() / 3}, format));
}

bool FormatHolds(GeometryFormat format, uint64_t bytes)
{
    return format != GeometryFormat::Gltf || bytes <= std::numeric_limits<uint32_t>::max();
}

bool CanWriteGeometry(const QString& path, QString* error)
{
    const QFileInfo file(path);
    QString problem;
    if (!FormatForPath(path, false))
    {
        problem = QStringLiteral("a geometry file's name ends in .glb, .ply, .stl, .obj or .vtp");
    }
    else if (file.exists() && !file.isFile())
    {
        problem = QStringLiteral("it is not a regular file");
    }
    else if (!file.absoluteDir().exists())
    {
        problem = QStringLiteral("its folder does not exist");
    }
    if (!problem.isEmpty())
    {
        *error = QStringLiteral("cannot write \"%1\": %2").arg(path, problem);
    }
    return problem.isEmpty();
}

bool WriteGeometry(const QString& path, const ExportedGeometry& geometry,
                   const GeometryOptions& options, QString* error, WriteProgress* progress)
{
    if (!CanWriteGeometry(path, error))
    {
        return false;
    }
    const uint64_t bytes = FileBytes(geometry, options.Format);
    if (!FormatHolds(options.Format, bytes))
    {
        *error = QStringLiteral("%1 spheres make a file of %2 MB, more than a .glb can hold")
                     .arg(geometry.Spheres.size())
                     .arg(bytes >> 20);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
    {
        *error = QStringLiteral("cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    ByteWriter out(file, progress);
    if (!WriteFormat(geometry, options, out, error))
    {
        return false;
    }
    if (progress != nullptr && progress->Stop)
    {
        *error = QStringLiteral("the writing of \"%1\" was stopped").arg(path);
        return false;
    }
    if (!out.Finish())
    {
        *error = WriteFailure(path, out.ErrorCode(), file);
        return false;
    }
    if (!file.commit())
    {
        *error = WriteFailure(path, errno, file);
        return false;
    }
    return true;
}

}  // namespace ramifex
