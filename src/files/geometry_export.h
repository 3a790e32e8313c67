#pragma once

#include <QObject>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <memory>

#include "geometry/geometry_file.h"
#include "renderjob/geometry_job.h"

namespace ramifex
{

// One geometry export under way: the spheres of the scene as it was when the export began,
// gathered by a geometry job a tick at a time from the event loop, so that both windows stay
// responsive. A progress dialog over the owner shows how far it is and can cancel it; once
// gathered, it shows the sphere count and the file's size, and the file is written.
class GeometryExport final : public QObject
{
    Q_OBJECT

public:
    // The job has started.
    GeometryExport(std::unique_ptr<GeometryJob> job, const GeometryOptions& options,
                   const QString& path, QWidget& owner, QObject* parent);
    ~GeometryExport() override;

signals:
    // Sent once, when the file is written (error empty), cannot be written (error says why) or the
    // user cancelled (error empty, no file).
    void Done(const QString& error);

private:
    void Tick();
    void Write();
    void Finish(const QString& error);

    std::unique_ptr<GeometryJob> job_;
    GeometryOptions options_;
    QString path_;
    QProgressDialog progress_;
    QTimer ticks_;
};

}  // namespace ramifex
