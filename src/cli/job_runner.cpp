#include "cli/job_runner.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocale>
#include <QString>

#include <unistd.h>
#include <array>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/command_line_jobs.h"
#include "cli/display_check.h"
#include "gl/jobs/job.h"
#include "gl/jobs/offscreen_gl.h"

namespace ramifex
{
namespace
{

// The signal that asked the job to stop; 0 while none has.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void AskToStop(int signal)
{
    stopSignal = signal;
}

void SetAction(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;  // GL drivers and the toolkit carry on undisturbed
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// Ctrl-C, a polite kill, the terminal closing, SIGQUIT and a reader of the output gone: each would
// otherwise end the program where it stands, leaving a partial file behind.
constexpr std::array<int, 5> StoppingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

void MaskStopSignals(int how)
{
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : StoppingSignals)
    {
        sigaddset(&stops, signal);
    }
    sigprocmask(how, &stops, nullptr);
}

// The StoppingSignals ask the job to stop while this lives; one that came while they were held
// back arrives now.
class StopSignals
{
public:
    StopSignals()
    {
        stopSignal = 0;
        for (const int signal : StoppingSignals)
        {
            SetAction(signal, AskToStop);
        }
        SetAction(SIGTSTP, SIG_DFL);
        SetAction(SIGCONT, SIG_DFL);
        MaskStopSignals(SIG_UNBLOCK);
    }
    ~StopSignals()
    {
        for (const int signal : StoppingSignals)
        {
            SetAction(signal, SIG_DFL);
        }
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool Stopped() const { return stopSignal != 0; }
    // 128 plus the signal's number.
    int Status() const { return 128 + stopSignal; }
};

// A bar on standard error that grows with the job, drawn only where someone watches it.
class TerminalProgress
{
public:
    TerminalProgress() : shown_(isatty(STDERR_FILENO) != 0) {}
    ~TerminalProgress()
    {
        if (percent_ >= 0)
        {
            std::fputc('\n', stderr);
        }
    }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void Show(double fraction)
    {
        constexpr int width = 40;
        const int percent = static_cast<int>(fraction * 100.0);
        if (!shown_ || percent == percent_)
        {
            return;
        }
        percent_ = percent;
        const int filled = percent * width / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(width - filled, '-').c_str(), percent);
        std::fflush(stderr);
    }

private:
    bool shown_;
    int percent_ = -1;
};

// Ticks the job until it is finished; false when a signal stopped it first.
bool TickToEnd(Job& job, const StopSignals& stop)
{
    TerminalProgress progress;
    while (!stop.Stopped())
    {
        job.Tick();
        progress.Show(job.Fraction());
        if (job.Finished())
        {
            return true;
        }
    }
    return false;
}

}  // namespace

int RunJob(Job& job, bool quiet)
{
    const StopSignals stop;
    QElapsedTimer clock;
    clock.start();
    if (!job.Start())
    {
        return ReportFailure(job.Error());
    }
    if (!job.Note().isEmpty())
    {
        std::fprintf(stderr, "ramifex: note: %s\n", qPrintable(QuotedControls(job.Note())));
    }
    if (!TickToEnd(job, stop))
    {
        return stop.Status();
    }
    if (job.Failed() || !job.Write())
    {
        return ReportFailure(job.Error());
    }
    if (!quiet)
    {
        std::printf("ramifex: wrote %s in %s s\n", qPrintable(QuotedControls(job.Written())),
                    qPrintable(QLocale().toString(double(clock.elapsed()) / 1000.0, 'f', 1)));
    }
    return EXIT_SUCCESS;
}

int RunWithoutDisplay(const JobRequest& request, bool quiet, char** argv)
{
    // Held back until the job's own handlers are in place: the platform's catch them only in an
    // event loop, which would leave a signal sent meanwhile unanswered. The threads the platform
    // starts keep them held back, so they come to the job's.
    MaskStopSignals(SIG_BLOCK);
    UseHeadlessPlatform();
    // The toolkit's own remarks are held back for good: a failure is told in one line.
    BeginDisplayGuard();
    int toolkitArgc = 1;
    const QGuiApplication application(toolkitArgc, argv);
    QString error;
    const std::unique_ptr<Job> job = JobFor(request, &error);
    return job ? RunJob(*job, quiet) : ReportFailure(error);
}

}  // namespace ramifex
