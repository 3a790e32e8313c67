#include "ui/commands/program_settings.h"

#include <QDir>
#include <QStandardPaths>

namespace ramifex
{

QString ProgramSettingsPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("settings.ini"));
}

}  // namespace ramifex
