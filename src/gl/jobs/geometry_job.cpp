#include "gl/jobs/geometry_job.h"

#include <utility>

#include "core/render/complete_walk.h"
#include "gl/jobs/render_job.h"

namespace ramifex
{

GeometryJob::GeometryJob(const SceneState& scene, const GeometrySettings& settings)
    : scene_(scene), settings_(settings), collector_(settings.Size.width(), settings.Size.height())
{
    if (settings_.WholeDepth)
    {
        scene_.Iterations = *settings_.WholeDepth;
    }
}

GeometryJob::~GeometryJob() = default;

bool GeometryJob::Start()
{
    if (settings_.WholeDepth)
    {
        walk_ = std::make_unique<CompleteWalk>(scene_, collector_, clock_);
        return true;
    }
    RenderSettings picture;
    picture.Size = settings_.Size;
    render_ = std::make_unique<RenderJob>(std::vector<SceneState>{scene_}, picture);
    render_->DrawAlongside(collector_);
    if (!render_->Start())
    {
        error_ = render_->Error();
        return false;
    }
    return true;
}

void GeometryJob::Tick()
{
    if (Finished())
    {
        return;
    }
    if (walk_)
    {
        done_ = walk_->Tick();
        return;
    }
    if (render_)
    {
        render_->Tick();
        error_ = render_->Error();
        done_ = render_->Finished();
    }
}

double GeometryJob::Fraction() const
{
    if (done_)
    {
        return 1.0;
    }
    return walk_ ? walk_->Fraction() : render_ ? render_->Fraction() : 0.0;
}

ExportedGeometry GeometryJob::TakeGeometry()
{
    ExportedGeometry geometry = collector_.TakeGeometry();
    if (!settings_.Camera)
    {
        geometry.Camera.reset();
    }
    return geometry;
}

}  // namespace ramifex
