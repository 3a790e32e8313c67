#pragma once

#include <QObject>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <memory>

#include "renderjob/render_job.h"

namespace ramifex
{

// One export under way: the complete picture of the scene as it was when the export began, drawn
// by a render job a tick at a time from the event loop, so that both windows stay responsive and
// the viewer's own walk goes on. A progress dialog over the owner shows how far it is and can
// cancel it. Once complete, the picture is written as a PNG that carries the scene.
class PictureExport final : public QObject
{
    Q_OBJECT

public:
    // The job has started, and draws one picture.
    PictureExport(std::unique_ptr<RenderJob> job, const QString& path, QWidget& owner,
                  QObject* parent);
    ~PictureExport() override;

signals:
    // Sent once, when the file is written (error empty), cannot be written (error says why) or the
    // user cancelled (error empty, no file). Nothing is drawn afterwards.
    void Done(const QString& error);

private:
    void Tick();
    void Finish(const QString& error);

    std::unique_ptr<RenderJob> job_;
    QString path_;
    QProgressDialog progress_;
    QTimer ticks_;
};

}  // namespace ramifex
