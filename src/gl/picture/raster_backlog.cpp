#include "gl/picture/raster_backlog.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>

namespace ramifex
{
namespace
{
constexpr GLuint64 WaitLimitNs = 1'000'000'000;  // a stuck driver must not hang the program
}  // namespace

RasterBacklog::RasterBacklog(QOpenGLContext& context) : context_(context)
{
    if (context.format().version() >= qMakePair(3, 2) || context.hasExtension("GL_ARB_sync"))
    {
        fences_ = context.extraFunctions();
    }
}

RasterBacklog::~RasterBacklog()
{
    if (pending_ != nullptr && QOpenGLContext::currentContext() == &context_)
    {
        fences_->glDeleteSync(pending_);
    }
}

void RasterBacklog::WaitForPrevious()
{
    if (fences_ == nullptr)
    {
        glFinish();
    }
    else
    {
        GLsync submitted = fences_->glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        if (pending_ != nullptr)
        {
            fences_->glClientWaitSync(pending_, GL_SYNC_FLUSH_COMMANDS_BIT, WaitLimitNs);
            fences_->glDeleteSync(pending_);
        }
        pending_ = submitted;
        glFlush();  // the batch just submitted starts while the walk gathers the next one
    }
}

}  // namespace ramifex
