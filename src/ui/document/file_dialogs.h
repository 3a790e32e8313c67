#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace ramifex
{

// What a file dialog asks for.
enum class FileDialogKind
{
    OpenScene,
    SaveScene,
    ExportPicture,
    ExportGeometry,
    OpenAnimation,
    SaveAnimation,
    ExportMp4,
    ExportWebM,
    ExportFrames,
};

// Asks the user for a file, starting from `suggested`; empty when the user cancels. The windows
// take one, so that tests can answer in place of the user.
using FileChooser =
    std::function<QString(QWidget& owner, FileDialogKind kind, const QString& suggested)>;
// Tells the user of a failure, under `title`; replaceable as the chooser is.
using WarningShower =
    std::function<void(QWidget& owner, const QString& title, const QString& message)>;

// The name a dialog suggests for a file made from the scene's: the scene's file with another
// suffix, or "untitled" with it when the scene has none.
QString SuggestedName(const QString& sceneFile, const char* suffix);

// The toolkit's file dialog, window-modal over `owner`: the other windows stay usable and the
// timer keeps drawing meanwhile. It opens in the folder last used for that kind of file (program
// settings), else in the user's Pictures folder (pictures and videos) or home folder; a suggested
// name with a folder of its own opens there.
QString ChooseWithFileDialog(QWidget& owner, FileDialogKind kind, const QString& suggested);
// A window-modal message box over `owner`, its message shown as plain text.
void ShowWarning(QWidget& owner, const QString& title, const QString& message);

}  // namespace ramifex
