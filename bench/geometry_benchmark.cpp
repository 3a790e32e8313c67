// Geometry export of what the view shows at 640x480, against drawing the same picture: for the
// wide flat tree and randomized seed 2 at depth 30, the spheres exported, the time and file size of
// a .glb and of a .ply of points, and the time relative to the picture's (drawn and written as a
// PNG, as --render does).
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "gl/jobs/geometry_job.h"
#include "gl/jobs/picture_job.h"
#include "io/geometry/geometry_file.h"
#include "io/scenefile/scene_file.h"
#include "scenes.h"

namespace ramifex::bench
{
namespace
{

double SecondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the job to its end and writes it, or ends the benchmark saying why not.
void RunToEnd(Job& job)
{
    if (job.Start())
    {
        while (!job.Finished())
        {
            job.Tick();
        }
    }
    if (job.Failed() || !job.Write())
    {
        std::fprintf(stderr, "%s\n", qPrintable(job.Error()));
        std::exit(1);
    }
}

void Render(const SceneState& scene, const QString& path)
{
    PictureJob job(scene, RenderSettings{}, path);
    RunToEnd(job);
}

// Gathers and writes; returns the number of spheres.
size_t Export(const SceneState& scene, const QString& path, GeometryFormat format)
{
    GeometryJob job(scene, GeometrySettings{}, {format}, path);
    RunToEnd(job);
    return job.Geometry().Spheres.size();
}

}  // namespace
}  // namespace ramifex::bench

int main(int argc, char** argv)
{
    using namespace ramifex;
    using namespace ramifex::bench;
    const QGuiApplication application(argc, argv);
    const QTemporaryDir folder;
    double worstRatio = 0.0;
    uint64_t glbBytes = 0;
    uint64_t spheres = 0;
    std::printf("%-10s %9s %9s %9s %12s %8s %9s %12s %7s\n", "scene", "spheres", "render-s",
                "glb-s", "glb-bytes", "B/sphere", "ply-s", "ply-bytes", "ratio");
    for (const NamedScene& scene :
         AtDepth({{"wide-flat", WideFlat()}, {"seed-2", Randomized(2)}}, MaxDepth))
    {
        const QString glb = folder.filePath(QStringLiteral("view.glb"));
        const QString ply = folder.filePath(QStringLiteral("view.ply"));
        const double render = SecondsOf([&] { Render(scene.State, folder.filePath("view.png")); });
        size_t count = 0;
        const double glbSeconds =
            SecondsOf([&] { count = Export(scene.State, glb, GeometryFormat::Gltf); });
        const double plySeconds =
            SecondsOf([&] { Export(scene.State, ply, GeometryFormat::PlyPoints); });
        const auto glbSize = static_cast<uint64_t>(QFileInfo(glb).size());
        const auto plySize = static_cast<uint64_t>(QFileInfo(ply).size());
        const double ratio = glbSeconds / render;
        std::printf("%-10s %9zu %9.2f %9.2f %12llu %8.1f %9.2f %12llu %7.2f\n", scene.Name.c_str(),
                    count, render, glbSeconds, static_cast<unsigned long long>(glbSize),
                    double(glbSize) / double(std::max<size_t>(count, 1)), plySeconds,
                    static_cast<unsigned long long>(plySize), ratio);
        worstRatio = std::max(worstRatio, ratio);
        glbBytes += glbSize;
        spheres += count;
    }
    std::printf("geom-time-ratio %.2f  glb-bytes-per-sphere %.1f  spheres %llu\n", worstRatio,
                double(glbBytes) / double(std::max<uint64_t>(spheres, 1)),
                static_cast<unsigned long long>(spheres));
    return 0;
}
