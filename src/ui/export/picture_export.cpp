#include "ui/export/picture_export.h"

#include <QFileInfo>

#include "io/scenefile/scene_file.h"

namespace ramifex
{
namespace
{

QString DrawingText(const QString& path, const QSize& size)
{
    return QString::fromUtf8("Drawing %1, %2 \u00d7 %3 pixels\u2026")
        .arg(QFileInfo(path).fileName())
        .arg(size.width())
        .arg(size.height());
}

}  // namespace

PictureExport::PictureExport(std::unique_ptr<RenderJob> job, const QString& path, QWidget& owner,
                             QObject* parent)
    : ExportProgress(owner, parent, QStringLiteral("Export Picture"),
                     DrawingText(path, job->Settings().Size)),
      job_(std::move(job)),
      path_(path)
{
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
        ShowFraction(job_->Fraction());
        return;
    }
    QString error;
    Finish(WritePictureWithScene(path_, frame->Picture, frame->Scene, &error) ? QString() : error);
}

// The job's framebuffer goes at once: a large one holds much memory.
void PictureExport::Release()
{
    job_.reset();
}

}  // namespace ramifex
