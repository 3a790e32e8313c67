#pragma once

#include <QString>
#include <memory>

#include "gl/jobs/render_job.h"
#include "ui/export/export_progress.h"

namespace ramifex
{

// One picture export under way: the complete picture of the scene as it was when the export
// began, drawn by a render job a tick at a time. Once complete, the picture is written as a PNG
// that carries the scene.
class PictureExport final : public ExportProgress
{
    Q_OBJECT

public:
    // The job has started, and draws one picture.
    PictureExport(std::unique_ptr<RenderJob> job, const QString& path, QWidget& owner,
                  QObject* parent);
    ~PictureExport() override;

private:
    void Tick() override;
    void Release() override;

    std::unique_ptr<RenderJob> job_;
    QString path_;
};

}  // namespace ramifex
