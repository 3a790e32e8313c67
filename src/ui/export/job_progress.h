#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <memory>

namespace ramifex
{

class Job;

// A job run from the windows, a tick at a time from the event loop, so that both windows stay
// responsive and the viewer's own walk goes on. A progress dialog over the owner shows what the
// job is doing and how far it is, and can cancel it; once the job is finished it is written.
class JobProgress final : public QObject
{
    Q_OBJECT

public:
    // The job has started. With `timeLeft`, the dialog also says how long the rest will take.
    JobProgress(std::unique_ptr<Job> job, const QString& title, bool timeLeft, QWidget& owner,
                QObject* parent);
    ~JobProgress() override;

    QProgressDialog& Progress() { return progress_; }
    // The output is written: neither cancelled nor failed.
    bool Written() const { return written_; }

signals:
    // Sent once, when the output is written (error empty), cannot be made (error says why) or the
    // user cancelled (error empty, nothing written). Nothing is done afterwards.
    void Done(const QString& error);

private:
    void Tick();
    void ShowProgress();
    QString TimeLeft() const;
    // Stops, lets go of the job and what it holds, and says so; only the first call counts.
    void Finish(const QString& error);

    std::unique_ptr<Job> job_;
    bool timeLeft_;
    QProgressDialog progress_;
    QTimer ticks_;
    QElapsedTimer elapsed_;
    bool written_ = false;
};

}  // namespace ramifex
