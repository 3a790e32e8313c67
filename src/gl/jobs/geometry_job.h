#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>

#include "core/render/millisecond_clock.h"
#include "core/scene/scene_state.h"
#include "gl/jobs/job.h"
#include "gl/jobs/picture_renderer.h"
#include "io/geometry/exported_geometry.h"
#include "io/geometry/geometry_file.h"
#include "io/geometry/sphere_collector.h"

namespace ramifex
{

class CompleteWalk;
class GlRenderer;

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
    QSize Size = StartPictureSize;
    // None: what the view shows, exactly the spheres the complete picture draws at Size (its
    // culling decides). Otherwise every sphere of the tree to this depth, 1..MaxWholeDepth.
    std::optional<int32_t> WholeDepth;
    bool Camera = false;  // the view's camera goes into the geometry as well
};

// The spheres of a scene written as a file for other programs, gathered a slice at a time: what
// the view shows through the OpenGL picture that draws them (what it leaves out decides), the
// whole tree through a walk that leaves nothing out and needs no GL. The file is written on a
// thread of its own while the ticks wait for it a slice at a time, so a stop (a signal, Cancel:
// the job goes) comes within one; the earlier file then stays as it was.
class GeometryJob final : public Job
{
public:
    GeometryJob(const SceneState& scene, const GeometrySettings& settings,
                const GeometryOptions& options = {}, QString path = {});
    ~GeometryJob() override;

    bool Start() override;
    void Tick() override;
    double Fraction() const override;
    QString Activity() const override;
    QString Written() const override;
    bool Write() override;

    // The spheres gathered so far: all of them once finished.
    const ExportedGeometry& Geometry() const { return geometry_; }

private:
    bool Complete() const override { return gathered_ && (path_.isEmpty() || written_); }
    void Gather();
    void Gathered();
    void AwaitWriting();

    SceneState scene_;
    GeometrySettings settings_;
    GeometryOptions options_;
    QString path_;
    SphereCollector collector_;
    std::unique_ptr<GlRenderer> picture_;
    SteadyMillisecondClock clock_;
    std::unique_ptr<CompleteWalk> walk_;
    ExportedGeometry geometry_;
    bool gathered_ = false;
    uint64_t fileBytes_ = 0;
    WriteProgress writeProgress_;
    std::future<QString> writing_;  // why the write failed; empty once written
    bool written_ = false;
    uint64_t leftOut_ = 0;  // spheres too small to print
    uint64_t pieces_ = 0;   // of an STL file, counted while it is written
};

}  // namespace ramifex
