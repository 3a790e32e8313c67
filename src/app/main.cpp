#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/viewer_app.h"
#include "cli/command_line.h"
#include "cli/display_check.h"
#include "cli/job_runner.h"
#include "ui/resources/app_icon.h"

int main(int argc, char** argv)
{
    using namespace ramifex;
    // Read before any display is needed, so that --help, --version, --render and --export-geometry
    // work without one.
    const CommandLine command = ReadCommandLine(argc, argv);
    if (!command.Shown.isEmpty())
    {
        std::fputs(qPrintable(command.Shown), stdout);
        return EXIT_SUCCESS;
    }
    if (!command.Refusal.isEmpty())
    {
        return ReportFailure(command.Refusal);
    }
    if (command.Job)
    {
        return RunWithoutDisplay(*command.Job, command.Quiet, argv);
    }
    if (!DisplayConfigured())
    {
        std::fprintf(stderr, "%s (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", NoDisplayMessage);
        return EXIT_FAILURE;
    }
    BeginDisplayGuard();
    // The toolkit sees the program's name alone, so that its own options (a style, a style sheet
    // file, mirrored layout) cannot change the program.
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, argv);
    if (!PlatformShowsWindows())
    {
        return ReportFailure(
            QStringLiteral("the %1 platform shows no windows; --render draws a picture without any")
                .arg(QGuiApplication::platformName()));
    }
    EndDisplayGuard();
    // The title of the About box is the application's name, which Qt takes from the executable.
    QApplication::setWindowIcon(AppIcon());

    ViewerApp app;
    app.Start(command.Scene);
    return EXIT_SUCCESS;
}
