#pragma once

#include <QString>
#include <memory>

#include "gl/jobs/geometry_job.h"
#include "io/geometry/geometry_file.h"
#include "ui/export/export_progress.h"

namespace ramifex
{

// One geometry export under way: the spheres of the scene as it was when the export began,
// gathered by a geometry job a tick at a time. Once gathered, the progress dialog shows the sphere
// count and the file's size while the file is written.
class GeometryExport final : public ExportProgress
{
    Q_OBJECT

public:
    // The job has started.
    GeometryExport(std::unique_ptr<GeometryJob> job, const GeometryOptions& options,
                   const QString& path, QWidget& owner, QObject* parent);
    ~GeometryExport() override;

private:
    void Tick() override;
    void Release() override;
    QString Write();

    std::unique_ptr<GeometryJob> job_;
    GeometryOptions options_;
    QString path_;
};

}  // namespace ramifex
