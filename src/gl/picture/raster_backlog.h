#pragma once

#include <qopengl.h>

class QOpenGLContext;
class QOpenGLExtraFunctions;

namespace ramifex
{

// Keeps the rasteriser at most one batch behind the walk. A software rasteriser works through
// submitted batches in its own threads; left alone, a tick of large, overlapping spheres could
// queue several hundred milliseconds of work that the present then waits for. Waiting here instead
// puts that time inside the walk's budget, where the walk's clock sees it.
class RasterBacklog
{
public:
    // The context must be current whenever the backlog is made or used, and still exist when it is
    // destroyed. The fence is deleted when the context is current then, and otherwise goes with
    // the context.
    explicit RasterBacklog(QOpenGLContext& context);
    ~RasterBacklog();
    RasterBacklog(const RasterBacklog&) = delete;
    RasterBacklog& operator=(const RasterBacklog&) = delete;

    // Called after a batch has been submitted: waits until the batch before it is drawn (until this
    // one is, without fences).
    void WaitForPrevious();

private:
    QOpenGLContext& context_;
    QOpenGLExtraFunctions* fences_ = nullptr;  // none: the context has no fence objects
    GLsync pending_ = nullptr;
};

}  // namespace ramifex
