#include "ui/export/video_export.h"

#include <QFileInfo>

namespace ramifex
{
namespace
{

constexpr int ProgressSteps = 1000;

QString TimeLeft(double seconds)
{
    const int whole = static_cast<int>(seconds + 0.5);
    return whole < 60 ? QStringLiteral("%1 s left").arg(whole)
                      : QStringLiteral("%1 min %2 s left").arg(whole / 60).arg(whole % 60);
}

}  // namespace

VideoExport::VideoExport(std::unique_ptr<RenderJob> job, std::unique_ptr<FrameWriter> writer,
                         const QString& path, QWidget& owner, QObject* parent)
    : QObject(parent),
      job_(std::move(job)),
      writer_(std::move(writer)),
      name_(QFileInfo(path).fileName()),
      progress_(&owner)
{
    progress_.setWindowTitle(QStringLiteral("Export Video"));
    progress_.setRange(0, ProgressSteps);
    progress_.setAutoReset(false);
    progress_.setAutoClose(false);
    progress_.setMinimumDuration(0);
    // Both windows stay usable while the video is written.
    progress_.setWindowModality(Qt::NonModal);
    connect(&progress_, &QProgressDialog::canceled, this, [this] { Finish({}); });
    ShowProgress();
    progress_.show();
    elapsed_.start();
    connect(&ticks_, &QTimer::timeout, this, &VideoExport::Tick);
    ticks_.start(0);
}

VideoExport::~VideoExport() = default;

void VideoExport::Tick()
{
    const std::optional<RenderedFrame> frame = job_->Tick();
    QString error;
    if (frame &&
        !writer_->Write(static_cast<int64_t>(frame->Index), frame->Picture, frame->Scene, &error))
    {
        Finish(error);
        return;
    }
    if (job_->Failed())
    {
        Finish(job_->Error());
        return;
    }
    if (job_->Finished())
    {
        Finish(writer_->Finish(&error) ? QString() : error);
        return;
    }
    ShowProgress();
}

void VideoExport::ShowProgress()
{
    const double fraction = job_->Fraction();
    progress_.setValue(static_cast<int>(fraction * ProgressSteps));
    const double seconds = static_cast<double>(elapsed_.isValid() ? elapsed_.elapsed() : 0) / 1e3;
    const QString left = fraction > 0.01 && seconds > 1.0
                             ? TimeLeft(seconds * (1.0 - fraction) / fraction)
                             : QStringLiteral("estimating the time left");
    progress_.setLabelText(QString::fromUtf8("Writing %1\u2026 %2").arg(name_, left));
}

// The writer goes unfinished on a cancel or a failure, and takes its partial file with it.
void VideoExport::Finish(const QString& error)
{
    if (!ticks_.isActive())
    {
        return;  // already done
    }
    ticks_.stop();
    progress_.hide();
    job_.reset();
    writer_.reset();
    emit Done(error);
}

}  // namespace ramifex
