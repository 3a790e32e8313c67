#include "files/geometry_export.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>

#include "files/export_progress.h"

namespace ramifex
{

GeometryExport::GeometryExport(std::unique_ptr<GeometryJob> job, const GeometryOptions& options,
                               const QString& path, QWidget& owner, QObject* parent)
    : QObject(parent), job_(std::move(job)), options_(options), path_(path), progress_(&owner)
{
    ShowExportProgress(
        progress_, QStringLiteral("Export Geometry"),
        QString::fromUtf8("Gathering the spheres of %1\u2026").arg(QFileInfo(path).fileName()));
    connect(&progress_, &QProgressDialog::canceled, this, [this] { Finish({}); });
    connect(&ticks_, &QTimer::timeout, this, &GeometryExport::Tick);
    ticks_.start(0);
}

GeometryExport::~GeometryExport() = default;

void GeometryExport::Tick()
{
    job_->Tick();
    if (job_->Failed())
    {
        Finish(job_->Error());
    }
    else if (job_->Finished())
    {
        Write();
    }
    else
    {
        progress_.setValue(static_cast<int>(job_->Fraction() * ExportProgressSteps));
    }
}

// The count and size show while the file is written.
void GeometryExport::Write()
{
    ticks_.stop();
    const ExportedGeometry geometry = job_->TakeGeometry();
    job_.reset();
    const QLocale locale;
    progress_.setLabelText(
        QString::fromUtf8("Writing %1 spheres, %2, to %3\u2026")
            .arg(locale.toString(qulonglong(geometry.Spheres.size())),
                 locale.formattedDataSize(qint64(FileBytes(geometry, options_.Format))),
                 QFileInfo(path_).fileName()));
    progress_.setValue(ExportProgressSteps);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QString error;
    const bool written = WriteGeometry(path_, geometry, options_, &error);
    progress_.hide();
    emit Done(written ? QString() : error);
}

void GeometryExport::Finish(const QString& error)
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
