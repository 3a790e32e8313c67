#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/display_check.h"
#include "app/viewer_app.h"
#include "resources/app_icon.h"

int main(int /*argc*/, char** argv)
{
    using namespace ramifex;
    if (!DisplayConfigured())
    {
        std::fprintf(stderr, "%s (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", NoDisplayMessage);
        return EXIT_FAILURE;
    }
    BeginDisplayGuard();
    // The program takes no command line: the toolkit sees the program's name alone, so that its
    // own options (a style, a style sheet file, mirrored layout) cannot change the program either.
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, argv);
    EndDisplayGuard();
    // The title of the About box is the application's name, which Qt takes from the executable.
    QApplication::setWindowIcon(AppIcon());

    ViewerApp app;
    app.Start();
    return EXIT_SUCCESS;
}
