#include "files/picture_export.h"

#include <QFileInfo>

#include "scenefile/scene_file.h"

namespace ramifex
{
namespace
{

constexpr int ProgressSteps = 1000;

}  // namespace

PictureExport::PictureExport(std::unique_ptr<RenderJob> job, const QString& path, QWidget& owner,
                             QObject* parent)
    : QObject(parent), job_(std::move(job)), path_(path), progress_(&owner)
{
    const QSize size = job_->Settings().Size;
    progress_.setWindowTitle(QStringLiteral("Export Picture"));
    progress_.setLabelText(QString::fromUtf8("Drawing %1, %2 \u00d7 %3 pixels\u2026")
                               .arg(QFileInfo(path).fileName())
                               .arg(size.width())
                               .arg(size.height()));
    progress_.setRange(0, ProgressSteps);
    progress_.setAutoReset(false);
    progress_.setAutoClose(false);
    // Both windows stay usable while the picture is drawn.
    progress_.setWindowModality(Qt::NonModal);
    connect(&progress_, &QProgressDialog::canceled, this, [this] { Finish({}); });
    progress_.show();
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
        progress_.setValue(static_cast<int>(job_->Fraction() * ProgressSteps));
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
