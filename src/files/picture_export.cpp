#include "files/picture_export.h"

#include <QFileInfo>

#include "files/export_progress.h"
#include "scenefile/scene_file.h"

namespace ramifex
{

PictureExport::PictureExport(std::unique_ptr<RenderJob> job, const QString& path, QWidget& owner,
                             QObject* parent)
    : QObject(parent), job_(std::move(job)), path_(path), progress_(&owner)
{
    const QSize size = job_->Settings().Size;
    ShowExportProgress(progress_, QStringLiteral("Export Picture"),
                       QString::fromUtf8("Drawing %1, %2 \u00d7 %3 pixels\u2026")
                           .arg(QFileInfo(path).fileName())
                           .arg(size.width())
                           .arg(size.height()));
    connect(&progress_, &QProgressDialog::canceled, this, [this] { Finish({}); });
    // Each tick draws for at most the walk's budget, then lets the events and the viewer's own
    // ticks through.
    connect(&ticks_, &QTimer::timeout, this, &PictureExport::Tick);
    ticks_.start(0);
}

PictureExport::~PictureExport() = default;

void PictureExport::Tick()
{
    const std::optional<RenderedFrame> frame = job_->Tick();
    if (job_->Failed())
    {
        Finish(job_->Error());
        return;
    }
    if (!frame)
    {
        progress_.setValue(static_cast<int>(job_->Fraction() * ExportProgressSteps));
        return;
    }
    QString error;
    Finish(WritePictureWithScene(path_, frame->Picture, frame->Scene, &error) ? QString() : error);
}

// The job's framebuffer goes at once: a large one holds much memory.
void PictureExport::Finish(const QString& error)
{
    if (!ticks_.isActive())
    {
        return;  // already done
    }
    ticks_.stop();
    progress_.hide();
    job_.reset();
    emit Done(error);
}

}  // namespace ramifex
