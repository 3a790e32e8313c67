// The spheres a geometry export takes: those the viewer's picture draws, and the camera that sees
// them where the picture shows them.
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <tuple>

#include <tiny_gltf.h>

#include "core/render/sphere_recorder.h"
#include "core/render/tee_surface.h"
#include "gl/jobs/geometry_job.h"
#include "io/geometry/geometry_file.h"
#include "viewer_test_support.h"

namespace ramifex::test
{
namespace
{

using GeometryExport = OpenViewerTest;

ExportedGeometry Gather(const SceneState& scene, const GeometrySettings& settings)
{
    GeometryJob job(scene, settings);
    EXPECT_TRUE(job.Start()) << job.Error().toStdString();
    while (!job.Finished())
    {
        job.Tick();
    }
    EXPECT_FALSE(job.Failed()) << job.Error().toStdString();
    return job.Geometry();
}

auto Key(const ExportedSphere& s)
{
    return std::tie(s.Centre, s.Radius, s.Colour, s.Level);
}

using Recorded = std::vector<SphereRecorder::Sphere>;

// The spheres a walk on the viewer draws, reading the depths as an output does when `asOutput`,
// otherwise once a tick.
Recorded Drawn(GlViewer& viewer, const SceneState& scene, MillisecondClock& clock, bool asOutput)
{
    SphereRecorder drawn;
    TeeSurface surface(viewer, drawn);
    CompleteWalk walk(scene, surface, clock);
    const QSize size = viewer.GrabPicture().size();
    walk.ReadDepthsEvery(asOutput ? OutputDepthReadSteps(int64_t{size.width()} * size.height())
                                  : 0);
    walk.RunToEnd();
    return drawn.Spheres();
}

bool Same(const Recorded& a, const Recorded& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const SphereRecorder::Sphere& s, const SphereRecorder::Sphere& t)
                      { return s.Node.M == t.Node.M && s.Colour == t.Colour; });
}

// What the view shows is what the viewer's complete picture draws, sphere for sphere and in the
// same order, wherever the ticks end: for a spread tree, one pushed half out of the view, and
// close-ups that hide much. Where the depths are read once a tick instead, what is left out
// depends on where ticks end, as the deep close-up shows.
TEST_F(GeometryExport, ViewGivesExactlyTheSpheresTheViewerDraws)
{
    SceneState halfOut = SpreadTree(8);
    halfOut.ViewOffset = {7.0, 2.0, -10.0};
    SceneState close = SpreadTree(9);
    close.ViewOffset = {0.5, 0.0, -2.0};
    SceneState deepClose = SpreadTree(12);
    deepClose.ViewOffset = {0.5, 0.0, -2.0};
    const QSize size = viewer.GrabPicture().size();
    for (const SceneState& scene : {SpreadTree(7), halfOut, close, deepClose})
    {
        FrozenClock oneTick;
        SteppingClock shortTicks;
        const Recorded drawn = Drawn(viewer, scene, oneTick, true);
        ASSERT_TRUE(Same(Drawn(viewer, scene, shortTicks, true), drawn));
        const ExportedGeometry exported = Gather(scene, {size, std::nullopt, false});

        ASSERT_EQ(exported.Spheres.size(), drawn.size());
        EXPECT_GT(exported.Spheres.size(), 0u);
        EXPECT_LT(exported.Spheres.size(), WholeTreeSpheres(scene.Iterations));
        for (size_t i = 0; i < exported.Spheres.size(); ++i)
        {
            const ExportedSphere& sphere = exported.Spheres[i];
            const auto& m = drawn[i].Node.M;
            const Vec3& colour = drawn[i].Colour;
            for (int k = 0; k < 3; ++k)
            {
                ASSERT_EQ(sphere.Centre[k], static_cast<float>(m[12 + k])) << i;
                ASSERT_EQ(sphere.Colour[k], std::lround(colour[k] * 255.0)) << i;
            }
            ASSERT_NEAR(sphere.Radius, NodeScale(drawn[i].Node), 1e-6) << i;
        }
        EXPECT_FALSE(exported.Camera);
    }
    FrozenClock oneTick;
    SteppingClock shortTicks;
    EXPECT_FALSE(Same(Drawn(viewer, deepClose, oneTick, false),
                      Drawn(viewer, deepClose, shortTicks, false)));
}

// A tree whose every sphere shows: the view and the whole tree give the same spheres.
TEST_F(GeometryExport, ViewAndWholeTreeAgreeWhenEverySphereShows)
{
    SceneState scene = SpreadTree(4);
    scene.ViewOffset = {0.0, 0.0, -14.0};
    const QSize size = viewer.GrabPicture().size();
    ExportedGeometry view = Gather(scene, {size, std::nullopt, false});
    ExportedGeometry whole = Gather(scene, {size, 4, false});
    ASSERT_EQ(whole.Spheres.size(), WholeTreeSpheres(4));
    const auto order = [](const ExportedSphere& a, const ExportedSphere& b)
    { return Key(a) < Key(b); };
    std::sort(view.Spheres.begin(), view.Spheres.end(), order);
    std::sort(whole.Spheres.begin(), whole.Spheres.end(), order);
    ASSERT_EQ(view.Spheres.size(), whole.Spheres.size());
    for (size_t i = 0; i < view.Spheres.size(); ++i)
    {
        EXPECT_TRUE(Key(view.Spheres[i]) == Key(whole.Spheres[i])) << i;
    }
}

// The point (x, y, z) seen through the file's camera: its pixel on a picture of that size.
std::array<double, 2> PixelThroughCamera(const tinygltf::Model& model,
                                         const std::array<float, 3>& p, const QSize& size)
{
    const tinygltf::Node& node =
        *std::find_if(model.nodes.begin(), model.nodes.end(),
                      [](const tinygltf::Node& candidate) { return candidate.camera >= 0; });
    const tinygltf::PerspectiveCamera& lens = model.cameras.at(node.camera).perspective;
    const double qx = node.rotation[0], qy = node.rotation[1], qz = node.rotation[2],
                 qw = node.rotation[3];
    const std::array<double, 3> d = {p[0] - node.translation[0], p[1] - node.translation[1],
                                     p[2] - node.translation[2]};
    // The camera's turn as a matrix; its transpose takes the point into the camera's frame.
    const std::array<std::array<double, 3>, 3> r = {
        {{1 - 2 * (qy * qy + qz * qz), 2 * (qx * qy - qz * qw), 2 * (qx * qz + qy * qw)},
         {2 * (qx * qy + qz * qw), 1 - 2 * (qx * qx + qz * qz), 2 * (qy * qz - qx * qw)},
         {2 * (qx * qz - qy * qw), 2 * (qy * qz + qx * qw), 1 - 2 * (qx * qx + qy * qy)}}};
    std::array<double, 3> eye{};
    for (int i = 0; i < 3; ++i)
    {
        eye[i] = r[0][i] * d[0] + r[1][i] * d[1] + r[2][i] * d[2];
    }
    const double tangent = std::tan(lens.yfov / 2.0);
    const double x = eye[0] / (-eye[2] * lens.aspectRatio * tangent);
    const double y = eye[1] / (-eye[2] * tangent);
    return {(x + 1.0) / 2.0 * size.width(), (1.0 - y) / 2.0 * size.height()};
}

// Looking through the exported camera shows each sphere where the window draws it: a red child
// beside the white root, under a turned and shifted view.
TEST_F(GeometryExport, CameraSeesEachSphereWhereTheWindowDrawsIt)
{
    SceneState scene;
    scene.Records[BaseRecord] = {35.0, {0.3, 1.0, 0.2}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {20.0, {0, 0, 1}, 0.5, 3.0, {1.0, 0.0, 0.0}, 1.0};
    scene.Records[Branch2Record] = scene.Records[Branch1Record];
    scene.Iterations = 2;
    scene.ViewOffset = {1.0, -0.5, -9.0};
    const QSize size = viewer.GrabPicture().size();
    SteppingClock stepping;
    CompleteWalk(scene, viewer, stepping).RunToEnd();
    const QImage picture = viewer.GrabPicture();

    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("view.glb"));
    const ExportedGeometry exported = Gather(scene, {size, std::nullopt, true});
    ASSERT_EQ(exported.Spheres.size(), 3u);
    QString error;
    ASSERT_TRUE(WriteGeometry(path, exported, {}, &error)) << error.toStdString();
    tinygltf::Model model;
    std::string warning;
    std::string failure;
    ASSERT_TRUE(
        tinygltf::TinyGLTF().LoadBinaryFromFile(&model, &failure, &warning, path.toStdString()))
        << failure;

    for (const ExportedSphere& sphere : exported.Spheres)
    {
        const bool red = sphere.Colour[1] == 0;
        const auto [x, y] = PixelThroughCamera(model, sphere.Centre, size);
        ASSERT_TRUE(QRect(QPoint(), size).contains(int(x), int(y))) << x << ", " << y;
        const QColor pixel = picture.pixelColor(int(x), int(y));
        EXPECT_EQ(pixel.red() > 2 * pixel.green() + 10, red) << x << ", " << y;
        EXPECT_GT(pixel.red(), 30) << x << ", " << y;
    }
}

}  // namespace
}  // namespace ramifex::test
