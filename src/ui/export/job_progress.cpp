#include "ui/export/job_progress.h"

#include "gl/jobs/job.h"
#include "ui/text/plain_text.h"

namespace ramifex
{
namespace
{

constexpr int ProgressSteps = 1000;

QString RoundedTimeLeft(double seconds)
{
    const int whole = static_cast<int>(seconds + 0.5);
    return whole < 60 ? QStringLiteral("%1 s left").arg(whole)
                      : QStringLiteral("%1 min %2 s left").arg(whole / 60).arg(whole % 60);
}

}  // namespace

JobProgress::JobProgress(std::unique_ptr<Job> job, const QString& title, bool timeLeft,
                         QWidget& owner, QObject* parent)
    : QObject(parent), job_(std::move(job)), timeLeft_(timeLeft), progress_(&owner)
{
    progress_.setWindowTitle(title);
    progress_.setLabel(PlainLabel());  // the activity names the output's file
    progress_.setRange(0, ProgressSteps);
    progress_.setAutoReset(false);
    progress_.setAutoClose(false);
    progress_.setMinimumDuration(0);
    // Both windows stay usable while the job runs.
    progress_.setWindowModality(Qt::NonModal);
    connect(&progress_, &QProgressDialog::canceled, this, [this] { Finish({}); });
    ShowProgress();
    progress_.show();
    elapsed_.start();
    // Each tick works for at most one slice, then lets the events and the viewer's own ticks
    // through.
    connect(&ticks_, &QTimer::timeout, this, &JobProgress::Tick);
    ticks_.start(0);
}

JobProgress::~JobProgress() = default;

void JobProgress::Tick()
{
    job_->Tick();
    if (job_->Failed())
    {
        Finish(job_->Error());
        return;
    }
    ShowProgress();
    if (job_->Finished())
    {
        // Painted at once: the job writes without the event loop.
        progress_.repaint();
        written_ = job_->Write();
        Finish(written_ ? QString() : job_->Error());
    }
}

void JobProgress::ShowProgress()
{
    progress_.setValue(static_cast<int>(job_->Fraction() * ProgressSteps));
    const QString activity = job_->Activity();
    progress_.setLabelText(timeLeft_ && !job_->Finished() ? activity + ' ' + TimeLeft() : activity);
}

QString JobProgress::TimeLeft() const
{
    const double fraction = job_->Fraction();
    const double seconds = static_cast<double>(elapsed_.isValid() ? elapsed_.elapsed() : 0) / 1e3;
    return fraction > 0.01 && seconds > 1.0 ? RoundedTimeLeft(seconds * (1.0 - fraction) / fraction)
                                            : QStringLiteral("estimating the time left");
}

// The job goes at once: a large picture holds much memory, and an unfinished video takes its
// partial file with it.
void JobProgress::Finish(const QString& error)
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
