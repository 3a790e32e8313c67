#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/render/millisecond_clock.h"
#include "core/scene/scene_state.h"
#include "io/geometry/exported_geometry.h"
#include "io/geometry/sphere_collector.h"

namespace ramifex
{

class CompleteWalk;
class RenderJob;

// A whole tree deeper than this would be more spheres (2^24 - 1) than a file should hold.
inline constexpr int32_t MaxWholeDepth = 24;

inline uint64_t WholeTreeSpheres(int32_t depth)
{
    return (uint64_t{1} << depth) - 1;
}

// Which spheres a geometry export takes.
struct GeometrySettings
{
    // The picture the view is judged at, and that each sphere is tessellated for.
    QSize Size{640, 480};
    // None: what the view shows, exactly the spheres the complete picture draws at Size (its
    // culling decides). Otherwise every sphere of the tree to this depth, 1..MaxWholeDepth.
    std::optional<int32_t> WholeDepth;
    bool Camera = false;  // the view's camera goes into the geometry as well
};

// Gathers the spheres of a geometry export a slice at a time, like a render job: what the view
// shows through a render job whose picture draws them, the whole tree through a walk that leaves
// nothing out and needs no GL.
class GeometryJob
{
public:
    GeometryJob(const SceneState& scene, const GeometrySettings& settings);
    ~GeometryJob();
    GeometryJob(const GeometryJob&) = delete;
    GeometryJob& operator=(const GeometryJob&) = delete;

    // False, with Error() saying why, when the picture cannot be made.
    bool Start();
    // Gathers for up to one tick's budget.
    void Tick();
    bool Finished() const { return Failed() || done_; }
    bool Failed() const { return !error_.isEmpty(); }
    const QString& Error() const { return error_; }
    double Fraction() const;
    // The spheres, once finished.
    ExportedGeometry TakeGeometry();

private:
    SceneState scene_;
    GeometrySettings settings_;
    SphereCollector collector_;
    std::unique_ptr<RenderJob> render_;
    SteadyMillisecondClock clock_;
    std::unique_ptr<CompleteWalk> walk_;
    bool done_ = false;
    QString error_;
};

}  // namespace ramifex
