// The .glb, written by tinygltf: meshes of up to 65535 points each, so that 16-bit indices reach
// them all (the largest index value is reserved), each under a node that places its positions,
// stored as 16-bit fractions of its extent; and the camera. Colours are linear, as glTF defines
// vertex colours, in 16 bits so that the dark ones stay apart.
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <sstream>

#include <tiny_gltf.h>

#include "io/geometry/file_writers.h"

namespace ramifex
{
namespace
{

constexpr size_t MaxPrimitivePoints = std::numeric_limits<uint16_t>::max();
// Positions as 16-bit and normals as 8-bit fractions: the one extension of core glTF the file
// needs, which keeps a vertex at 20 bytes rather than 32.
const std::string Quantization = "KHR_mesh_quantization";

// The spheres [First, End) share a primitive.
struct Run
{
    size_t First = 0;
    size_t End = 0;
    size_t FirstPoint = 0;
    size_t Points = 0;
    size_t Indices = 0;
};

std::vector<Run> RunsOf(const std::vector<ExportedSphere>& spheres)
{
    std::vector<Run> runs;
    Run run;
    for (size_t i = 0; i < spheres.size(); ++i)
    {
        const SphereMesh& mesh = MeshOf(spheres[i]);
        if (run.Points + mesh.Points.size() > MaxPrimitivePoints)
        {
            runs.push_back(run);
            run = {i, i, run.FirstPoint + run.Points, 0, 0};
        }
        run.End = i + 1;
        run.Points += mesh.Points.size();
        run.Indices += mesh.Indices.size();
    }
    if (run.End > run.First)
    {
        runs.push_back(run);
    }
    return runs;
}

int8_t NormalByte(float component)
{
    return static_cast<int8_t>(std::lround(std::clamp(component, -1.0f, 1.0f) * 127.0f));
}

// The node colours are what the screen shows, sRGB; glTF's are linear.
uint16_t LinearShort(uint8_t srgb)
{
    static const std::array<uint16_t, 256> table = []
    {
        std::array<uint16_t, 256> shorts{};
        for (size_t i = 0; i < shorts.size(); ++i)
        {
            const double c = static_cast<double>(i) / 255.0;
            const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            shorts[i] = static_cast<uint16_t>(std::lround(linear * 65535.0));
        }
        return shorts;
    }();
    return table[srgb];
}

using Stored = std::array<int16_t, 4>;

// Three points that quantising has put on one line make a triangle of no area, which readers
// refuse or draw as a crack's edge.
bool HasArea(const Stored& a, const Stored& b, const Stored& c)
{
    std::array<int64_t, 3> u{};
    std::array<int64_t, 3> v{};
    for (int i = 0; i < 3; ++i)
    {
        u[i] = int64_t{b[i]} - a[i];
        v[i] = int64_t{c[i]} - a[i];
    }
    return u[1] * v[2] != u[2] * v[1] || u[2] * v[0] != u[0] * v[2] || u[0] * v[1] != u[1] * v[0];
}

// Where a run's points lie: its node shifts them by Centre and scales them by Scale from the
// normalised 16-bit positions. A uniform scale leaves the normals' directions as they are.
struct Placement
{
    std::array<double, 3> Centre{};
    double Scale = 1.0;
};

Placement PlacementOf(const std::vector<ExportedSphere>& spheres, const Run& run)
{
    std::array<double, 3> low{};
    std::array<double, 3> high{};
    low.fill(std::numeric_limits<double>::infinity());
    high.fill(-std::numeric_limits<double>::infinity());
    for (size_t s = run.First; s < run.End; ++s)
    {
        for (int i = 0; i < 3; ++i)
        {
            low[i] = std::min(low[i], double(spheres[s].Centre[i]) - spheres[s].Radius);
            high[i] = std::max(high[i], double(spheres[s].Centre[i]) + spheres[s].Radius);
        }
    }
    Placement placement;
    double half = 0.0;
    for (int i = 0; i < 3; ++i)
    {
        placement.Centre[i] = (low[i] + high[i]) / 2.0;
        half = std::max(half, (high[i] - low[i]) / 2.0);
    }
    placement.Scale = half > 0.0 ? half : 1.0;
    return placement;
}

constexpr double ShortLimit = std::numeric_limits<int16_t>::max();

// A run's points and triangles as stored, with the bounds of the positions.
struct FilledRun
{
    std::vector<double> Low = std::vector<double>(3, ShortLimit);
    std::vector<double> High = std::vector<double>(3, -ShortLimit);
    size_t Indices = 0;  // of the triangles that have an area
};

Stored StorePoint(const ExportedSphere& sphere, const std::array<float, 3>& p,
                  const Placement& placement, FilledRun& filled)
{
    Stored position{};
    for (int i = 0; i < 3; ++i)
    {
        const double at = sphere.Centre[i] + double(sphere.Radius) * p[i];
        const double stored =
            std::clamp(std::round((at - placement.Centre[i]) / placement.Scale * ShortLimit),
                       -ShortLimit, ShortLimit);
        position[i] = static_cast<int16_t>(stored);
        filled.Low[i] = std::min(filled.Low[i], stored);
        filled.High[i] = std::max(filled.High[i], stored);
    }
    return position;
}

void PutVertex(const Stored& position, const std::array<float, 3>& p,
               const std::array<uint8_t, 3>& colour, unsigned char* vertex)
{
    const std::array<int8_t, 4> normal = {NormalByte(p[0]), NormalByte(p[1]), NormalByte(p[2]), 0};
    const std::array<uint16_t, 4> linear = {LinearShort(colour[0]), LinearShort(colour[1]),
                                            LinearShort(colour[2]), 0};
    std::memcpy(vertex, position.data(), 8);
    std::memcpy(vertex + 8, normal.data(), 4);
    std::memcpy(vertex + 12, linear.data(), 8);
}

// Writes a run's points, and the indices of its triangles that keep an area.
FilledRun FillRun(const std::vector<ExportedSphere>& spheres, const Run& run,
                  const Placement& placement, unsigned char* vertices, unsigned char* indices)
{
    FilledRun filled;
    std::vector<Stored> stored;
    uint16_t first = 0;
    for (size_t s = run.First; s < run.End; ++s)
    {
        const ExportedSphere& sphere = spheres[s];
        const SphereMesh& mesh = MeshOf(sphere);
        stored.clear();
        for (const auto& p : mesh.Points)
        {
            stored.push_back(StorePoint(sphere, p, placement, filled));
            PutVertex(stored.back(), p, sphere.Colour, vertices);
            vertices += GltfVertexBytes;
        }
        for (size_t i = 0; i < mesh.Indices.size(); i += 3)
        {
            const uint32_t* corner = &mesh.Indices[i];
            if (!HasArea(stored[corner[0]], stored[corner[1]], stored[corner[2]]))
            {
                continue;
            }
            for (int k = 0; k < 3; ++k)
            {
                const auto value = static_cast<uint16_t>(first + corner[k]);
                std::memcpy(indices, &value, 2);
                indices += GltfIndexBytes;
            }
            filled.Indices += 3;
        }
        first = static_cast<uint16_t>(first + mesh.Points.size());
    }
    return filled;
}

int AddAccessor(tinygltf::Model& model, int view, size_t offset, size_t count, int component,
                int type, bool normalized)
{
    tinygltf::Accessor accessor;
    accessor.bufferView = view;
    accessor.byteOffset = offset;
    accessor.count = count;
    accessor.componentType = component;
    accessor.type = type;
    accessor.normalized = normalized;
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size() - 1);
}

// `indexCount` counts the indices written before the run's, and then its own. None where no
// triangle of the run kept an area: an accessor of nothing is no glTF.
std::optional<tinygltf::Primitive> PrimitiveOf(tinygltf::Model& model,
                                               const std::vector<ExportedSphere>& spheres,
                                               const Run& run, const Placement& placement,
                                               size_t& indexCount)
{
    auto& data = model.buffers[0].data;
    const size_t vertexStart = run.FirstPoint * GltfVertexBytes;
    const size_t indexStart = indexCount * GltfIndexBytes;
    FilledRun filled = FillRun(spheres, run, placement, data.data() + vertexStart,
                               data.data() + model.bufferViews[1].byteOffset + indexStart);
    indexCount += filled.Indices;
    if (filled.Indices == 0)
    {
        return std::nullopt;
    }

    tinygltf::Primitive primitive;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    primitive.material = 0;
    const int position = AddAccessor(model, 0, vertexStart, run.Points,
                                     TINYGLTF_COMPONENT_TYPE_SHORT, TINYGLTF_TYPE_VEC3, true);
    model.accessors[position].minValues = std::move(filled.Low);
    model.accessors[position].maxValues = std::move(filled.High);
    primitive.attributes["POSITION"] = position;
    primitive.attributes["NORMAL"] =
        AddAccessor(model, 0, vertexStart + 8, run.Points, TINYGLTF_COMPONENT_TYPE_BYTE,
                    TINYGLTF_TYPE_VEC3, true);
    primitive.attributes["COLOR_0"] =
        AddAccessor(model, 0, vertexStart + 12, run.Points, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT,
                    TINYGLTF_TYPE_VEC3, true);
    primitive.indices =
        AddAccessor(model, 1, indexStart, filled.Indices, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT,
                    TINYGLTF_TYPE_SCALAR, false);
    return primitive;
}

// Each run is a mesh of its own, under a node that places its stored positions.
void AddRun(tinygltf::Model& model, const std::vector<ExportedSphere>& spheres, const Run& run,
            size_t& indexCount)
{
    const Placement placement = PlacementOf(spheres, run);
    std::optional<tinygltf::Primitive> primitive =
        PrimitiveOf(model, spheres, run, placement, indexCount);
    if (!primitive)
    {
        return;
    }
    tinygltf::Mesh mesh;
    mesh.name = "spheres";
    mesh.primitives.push_back(std::move(*primitive));
    model.meshes.push_back(mesh);
    tinygltf::Node node;
    node.name = "spheres";
    node.mesh = static_cast<int>(model.meshes.size() - 1);
    node.translation.assign(placement.Centre.begin(), placement.Centre.end());
    node.scale.assign(3, placement.Scale);
    model.nodes.push_back(node);
}

void AddBufferViews(tinygltf::Model& model, size_t vertexBytes, size_t indexBytes)
{
    tinygltf::BufferView vertices;
    vertices.buffer = 0;
    vertices.byteLength = vertexBytes;
    vertices.byteStride = GltfVertexBytes;
    vertices.target = TINYGLTF_TARGET_ARRAY_BUFFER;
    tinygltf::BufferView indices;
    indices.buffer = 0;
    indices.byteOffset = vertexBytes;
    indices.byteLength = indexBytes;
    indices.target = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;
    model.bufferViews = {vertices, indices};
}

// Lit like the program's spheres: coloured by the vertex colours, not metallic.
tinygltf::Material SphereMaterial()
{
    tinygltf::Material material;
    material.name = "spheres";
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 0.5;
    return material;
}

// The index buffer is sized for every triangle, then cut to those that kept an area.
void AddSpheres(tinygltf::Model& model, const std::vector<ExportedSphere>& spheres,
                const ByteWriter& out)
{
    const std::vector<Run> runs = RunsOf(spheres);
    if (runs.empty())
    {
        return;
    }
    size_t indices = 0;
    for (const Run& run : runs)
    {
        indices += run.Indices;
    }
    const size_t vertexBytes = (runs.back().FirstPoint + runs.back().Points) * GltfVertexBytes;
    model.buffers.emplace_back().data.resize(vertexBytes + indices * GltfIndexBytes);
    AddBufferViews(model, vertexBytes, indices * GltfIndexBytes);
    model.materials.push_back(SphereMaterial());
    model.extensionsUsed.push_back(Quantization);
    model.extensionsRequired.push_back(Quantization);
    size_t written = 0;
    for (const Run& run : runs)
    {
        if (out.Stopped())
        {
            return;
        }
        AddRun(model, spheres, run, written);
    }
    if (written == 0)
    {
        const tinygltf::Asset asset = model.asset;
        model = {};  // nothing with an area: no spheres
        model.asset = asset;
        return;
    }
    model.bufferViews[1].byteLength = written * GltfIndexBytes;
    model.buffers[0].data.resize(vertexBytes + written * GltfIndexBytes);
}

void AddCamera(tinygltf::Model& model, const ExportedCamera& view)
{
    tinygltf::Camera camera;
    camera.name = "view";
    camera.type = "perspective";
    camera.perspective.yfov = view.VerticalFov;
    camera.perspective.aspectRatio = view.Aspect;
    camera.perspective.znear = view.Near;
    camera.perspective.zfar = view.Far;
    model.cameras.push_back(camera);
    tinygltf::Node node;
    node.name = "view";
    node.camera = 0;
    node.rotation.assign(view.Rotation.begin(), view.Rotation.end());
    node.translation.assign(view.Position.begin(), view.Position.end());
    model.nodes.push_back(node);
}

}  // namespace

bool WriteGltf(const ExportedGeometry& geometry, ByteWriter& out, QString* error)
{
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "Ramifex";
    AddSpheres(model, geometry.Spheres, out);
    if (out.Stopped())
    {
        return true;  // the caller knows why
    }
    if (geometry.Camera)
    {
        AddCamera(model, *geometry.Camera);
    }
    // Named, so that a scene with no spheres and no camera is still written as an object.
    tinygltf::Scene scene;
    scene.name = "Ramifex";
    for (size_t i = 0; i < model.nodes.size(); ++i)
    {
        scene.nodes.push_back(static_cast<int>(i));
    }
    model.scenes.push_back(scene);
    model.defaultScene = 0;
    std::ostringstream bytes;
    if (!tinygltf::TinyGLTF().WriteGltfSceneToStream(&model, bytes, false, true))
    {
        *error = QStringLiteral("the glTF library could not write the file");
        return false;
    }
    out.Bytes(bytes.view());
    return true;
}

}  // namespace ramifex
