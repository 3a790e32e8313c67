// Writes the program's icon into an icon theme folder, one PNG for each size the program draws:
// THEME/NxN/apps/NAME.png. Run at build time, so the installed icons are the ones the windows show.
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "ui/resources/app_icon.h"

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s THEME_FOLDER ICON_NAME\n", argv[0]);
        return EXIT_FAILURE;
    }
    // Drawing the icon needs a toolkit application but no display.
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication application(argc, argv);
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QIcon icon = ramifex::AppIcon();
    for (const QSize& size : icon.availableSizes())
    {
        const QString folder = QStringLiteral("%1x%2/apps").arg(size.width()).arg(size.height());
        const QString file = theme.filePath(folder + '/' + name + ".png");
        if (!theme.mkpath(folder) || !icon.pixmap(size).save(file))
        {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(file));
            return EXIT_FAILURE;
        }
    }
    return EXIT_SUCCESS;
}
