#include "ui/gallery/thumbnail_drawer.h"

#include <QDebug>
#include <algorithm>

#include "gl/jobs/picture_sequence.h"

namespace ramifex
{

QPixmap BlankThumbnail()
{
    QPixmap blank(ThumbnailSize);
    blank.fill(Qt::black);
    return blank;
}

ThumbnailDrawer::ThumbnailDrawer(int32_t deepest, QObject* parent)
    : QObject(parent), deepest_(deepest)
{
    connect(&ticks_, &QTimer::timeout, this, &ThumbnailDrawer::Tick);
}

ThumbnailDrawer::~ThumbnailDrawer() = default;

void ThumbnailDrawer::Draw(std::vector<SceneState> scenes)
{
    Stop();
    if (scenes.empty())
    {
        return;
    }
    for (SceneState& scene : scenes)
    {
        scene.Iterations = std::min(scene.Iterations, deepest_);
    }
    RenderSettings settings;
    settings.Size = ThumbnailSize;
    job_ = std::make_unique<PictureSequence>(ScenesOf(std::move(scenes)), settings);
    if (!job_->Start())
    {
        qWarning().noquote() << "Cannot draw thumbnails:" << job_->Error();
        Stop();
        return;
    }
    ticks_.start(0);
}

void ThumbnailDrawer::Tick()
{
    const std::optional<RenderedFrame> frame = job_->Tick();
    if (frame)
    {
        emit Drawn(static_cast<size_t>(frame->Index), frame->Picture);
    }
    if (job_ && job_->Failed())
    {
        qWarning().noquote() << "Cannot draw thumbnails:" << job_->Error();
    }
    if (job_ && job_->Finished())
    {
        Stop();
    }
}

// The job's context and framebuffer go at once.
void ThumbnailDrawer::Stop()
{
    ticks_.stop();
    job_.reset();
}

}  // namespace ramifex
