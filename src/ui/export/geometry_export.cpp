#include "ui/export/geometry_export.h"

#include <QFileInfo>
#include <QLocale>

namespace ramifex
{

GeometryExport::GeometryExport(std::unique_ptr<GeometryJob> job, const GeometryOptions& options,
                               const QString& path, QWidget& owner, QObject* parent)
    : ExportProgress(
          owner, parent, QStringLiteral("Export Geometry"),
          QString::fromUtf8("Gathering the spheres of %1\u2026").arg(QFileInfo(path).fileName())),
      job_(std::move(job)),
      options_(options),
      path_(path)
{
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
        Finish(Write());
    }
    else
    {
        ShowFraction(job_->Fraction());
    }
}

// Returns why the file could not be written; empty once it is.
QString GeometryExport::Write()
{
    const ExportedGeometry geometry = job_->TakeGeometry();
    job_.reset();
    const QLocale locale;
    ShowFraction(1.0);
    ShowLabel(QString::fromUtf8("Writing %1 spheres, %2, to %3\u2026")
                  .arg(locale.toString(qulonglong(geometry.Spheres.size())),
                       locale.formattedDataSize(qint64(FileBytes(geometry, options_.Format))),
                       QFileInfo(path_).fileName()));
    QString error;
    return WriteGeometry(path_, geometry, options_, &error) ? QString() : error;
}

void GeometryExport::Release()
{
    job_.reset();
}

}  // namespace ramifex
