// The VTK XML PolyData file (.vtp) of points: one per sphere, with `radius` and `colour` arrays
// that ParaView's Point Gaussian and Glyph representations scale and colour by, and a vertex cell
// for each point so that every representation shows them. The arrays follow the XML part as raw
// appended data, each after its length in bytes.
#include <QString>
#include <cstdint>
#include <string>

#include "io/geometry/file_writers.h"

namespace ramifex
{
namespace
{

// Each array's bytes per point: positions, radii, colours, and the vertex cells' connectivity and
// offsets.
constexpr uint64_t ArrayBytes[] = {12, 4, 3, 4, 4};
constexpr uint64_t LengthBytes = 8;  // the UInt64 before each array
const std::string VtkFooter = "\n  </AppendedData>\n</VTKFile>\n";

std::string VtkHeader(uint64_t points)
{
    std::string offsets[5];
    uint64_t at = 0;
    for (int i = 0; i < 5; ++i)
    {
        offsets[i] = std::to_string(at);
        at += LengthBytes + ArrayBytes[i] * points;
    }
    const std::string n = std::to_string(points);
    return "<?xml version=\"1.0\"?>\n"
           "<!-- spheres of Ramifex: a point per sphere, +Z up -->\n"
           "<VTKFile type=\"PolyData\" version=\"1.0\" byte_order=\"LittleEndian\" "
           "header_type=\"UInt64\">\n"
           "  <PolyData>\n"
           "    <Piece NumberOfPoints=\"" +
           n + "\" NumberOfVerts=\"" + n +
           "\" NumberOfLines=\"0\" NumberOfStrips=\"0\" NumberOfPolys=\"0\">\n"
           "      <Points>\n"
           "        <DataArray type=\"Float32\" NumberOfComponents=\"3\" format=\"appended\" "
           "offset=\"" +
           offsets[0] +
           "\"/>\n"
           "      </Points>\n"
           "      <PointData Scalars=\"colour\">\n"
           "        <DataArray type=\"Float32\" Name=\"radius\" format=\"appended\" offset=\"" +
           offsets[1] +
           "\"/>\n"
           "        <DataArray type=\"UInt8\" Name=\"colour\" NumberOfComponents=\"3\" "
           "format=\"appended\" offset=\"" +
           offsets[2] +
           "\"/>\n"
           "      </PointData>\n"
           "      <Verts>\n"
           "        <DataArray type=\"Int32\" Name=\"connectivity\" format=\"appended\" "
           "offset=\"" +
           offsets[3] +
           "\"/>\n"
           "        <DataArray type=\"Int32\" Name=\"offsets\" format=\"appended\" offset=\"" +
           offsets[4] +
           "\"/>\n"
           "      </Verts>\n"
           "    </Piece>\n"
           "  </PolyData>\n"
           "  <AppendedData encoding=\"raw\">\n   _";
}

// Writes one array: its length, then `put(sphere, index)` for each sphere.
template <typename Put>
void PutArray(const ExportedGeometry& geometry, int array, ByteWriter& out, Put&& put)
{
    out.Put(uint64_t{ArrayBytes[array] * geometry.Spheres.size()});
    for (size_t i = 0; i < geometry.Spheres.size(); ++i)
    {
        if (out.Stopped())
        {
            return;
        }
        put(geometry.Spheres[i], i);
    }
}

}  // namespace

uint64_t VtkPointsBytes(uint64_t points)
{
    uint64_t bytes = VtkHeader(points).size() + VtkFooter.size();
    for (const uint64_t perPoint : ArrayBytes)
    {
        bytes += LengthBytes + perPoint * points;
    }
    return bytes;
}

void WriteVtkPoints(const ExportedGeometry& geometry, ByteWriter& out)
{
    out.Text(VtkHeader(geometry.Spheres.size()));
    PutArray(geometry, 0, out, [&](const ExportedSphere& s, size_t) { out.Put(ZUp(s.Centre)); });
    PutArray(geometry, 1, out, [&](const ExportedSphere& s, size_t) { out.Put(s.Radius); });
    PutArray(geometry, 2, out, [&](const ExportedSphere& s, size_t) { out.Put(s.Colour); });
    PutArray(geometry, 3, out,
             [&](const ExportedSphere&, size_t i) { out.Put(static_cast<int32_t>(i)); });
    PutArray(geometry, 4, out,
             [&](const ExportedSphere&, size_t i) { out.Put(static_cast<int32_t>(i + 1)); });
    out.Text(VtkFooter);
}

}  // namespace ramifex
