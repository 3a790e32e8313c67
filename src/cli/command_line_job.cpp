#include "cli/command_line_job.h"

#include <QGuiApplication>
#include <QString>

#include <unistd.h>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/command_line.h"
#include "cli/display_check.h"
#include "gl/jobs/offscreen_gl.h"
#include "io/scenefile/scene_file.h"

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

}  // namespace

CommandLineJob::CommandLineJob()
{
    stopSignal = 0;
    SetAction(SIGINT, AskToStop);
    SetAction(SIGTERM, AskToStop);
    SetAction(SIGTSTP, SIG_DFL);
    SetAction(SIGCONT, SIG_DFL);
}

CommandLineJob::~CommandLineJob()
{
    SetAction(SIGINT, SIG_DFL);
    SetAction(SIGTERM, SIG_DFL);
}

bool CommandLineJob::Run(const std::function<bool()>& slice,
                         const std::function<double()>& fraction)
{
    TerminalProgress progress;
    while (stopSignal == 0)
    {
        const bool more = slice();
        progress.Show(fraction());
        if (!more)
        {
            return true;
        }
    }
    return false;
}

int CommandLineJob::StoppedStatus() const
{
    return 128 + stopSignal;
}

int RunWithoutDisplay(const QString& scenePath, char** argv,
                      const std::function<int(const SceneState&, CommandLineJob&)>& job)
{
    QString error;
    const std::optional<SceneState> scene = ReadSceneFile(scenePath, &error);
    if (!scene)
    {
        return ReportFailure(error);
    }
    UseHeadlessPlatform();
    // The toolkit's own remarks are held back for good: a failure is told in one line.
    BeginDisplayGuard();
    int toolkitArgc = 1;
    const QGuiApplication application(toolkitArgc, argv);
    CommandLineJob run;
    return job(*scene, run);
}

}  // namespace ramifex
