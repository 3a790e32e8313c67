#pragma once

#include <QString>

namespace ramifex
{

// The file that keeps the program's own settings (QSettings, IniFormat) in the user's
// configuration folder: what it remembers between runs, such as Frame After Randomize and the
// recent files. The toolkit's settings are kept apart from it.
QString ProgramSettingsPath();

}  // namespace ramifex
