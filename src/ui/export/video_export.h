#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <memory>

#include "gl/jobs/render_job.h"
#include "io/video/video_writer.h"

namespace ramifex
{

// One video export under way: the frames drawn by a render job a tick at a time from the event
// loop, so that both windows stay responsive and the viewer's own walk goes on, each written as
// it is done. A progress dialog over the owner shows how far it is and the time left, and can
// cancel it; a cancelled or failed export leaves no video behind.
class VideoExport final : public QObject
{
    Q_OBJECT

public:
    // The job has started; the writer is open for its frames.
    VideoExport(std::unique_ptr<RenderJob> job, std::unique_ptr<FrameWriter> writer,
                const QString& path, QWidget& owner, QObject* parent);
    ~VideoExport() override;

    QProgressDialog& Progress() { return progress_; }

signals:
    // Sent once: written (error empty), failed (error says why) or cancelled (error empty, no
    // file).
    void Done(const QString& error);

private:
    void Tick();
    void ShowProgress();
    void Finish(const QString& error);

    std::unique_ptr<RenderJob> job_;
    std::unique_ptr<FrameWriter> writer_;
    QString name_;
    QProgressDialog progress_;
    QTimer ticks_;
    QElapsedTimer elapsed_;
};

}  // namespace ramifex
