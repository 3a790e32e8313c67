#include "files/picture_export.h"

#include <QFileInfo>

#include "scenefile/scene_file.h"
#include "viewer/gl_viewer.h"

namespace ramifex
{
namespace
{

constexpr int ProgressSteps = 1000;

}  // namespace

PictureExport::PictureExport(const SceneState& scene, std::unique_ptr<SidePicture> picture,
                             const QString& path, QWidget& owner, QObject* parent)
    : QObject(parent),
      scene_(scene),
      picture_(std::move(picture)),
      path_(path),
      walk_(scene_, *picture_, clock_),
      progress_(&owner)
{
    const QSize size = picture_->Size();
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
    if (!walk_.Tick())
    {
        progress_.setValue(static_cast<int>(walk_.Fraction() * ProgressSteps));
        return;
    }
    const QImage picture = picture_->Grab().convertToFormat(QImage::Format_RGB32);
    QString error;
    Finish(WritePictureWithScene(path_, picture, scene_, &error) ? QString() : error);
}

// The picture's framebuffer goes at once: a large one holds much memory.
void PictureExport::Finish(const QString& error)
{
    if (!ticks_.isActive())
    {
        return;  // already done
    }
    ticks_.stop();
    progress_.hide();
    picture_.reset();
    emit Done(error);
}

}  // namespace ramifex
