#include "ui/document/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "io/scenefile/scene_file.h"
#include "ui/commands/program_settings.h"
#include "ui/text/plain_text.h"

namespace ramifex
{
namespace
{

struct DialogShape
{
    const char* Caption;
    const char* Filter;
    QFileDialog::AcceptMode Mode;
    const char* DefaultSuffix;
    // The kind of file, whose dialogs share the folder last used.
    const char* Folder;
    // Before any folder is remembered, the user's Pictures folder rather than the home folder.
    bool Pictures = false;
};

// In the order of FileDialogKind.
const DialogShape Shapes[] = {
    {"Open Scene", "Ramifex scenes and pictures (*.ramifex.json *.png);;All files (*)",
     QFileDialog::AcceptOpen, "", "scenes"},
    {"Save Scene As", "Ramifex scenes (*.ramifex.json)", QFileDialog::AcceptSave, "ramifex.json",
     "scenes"},
    {"Export Picture", "PNG pictures (*.png)", QFileDialog::AcceptSave, "png", "pictures", true},
    {"Export Geometry", "Geometry files (*.glb *.ply *.stl *.obj)", QFileDialog::AcceptSave, "",
     "geometry"},
    {"Open Animation", "Ramifex animations (*.ramifex-anim.json);;Scenes (*.json *.png)",
     QFileDialog::AcceptOpen, "", "animations"},
    {"Save Animation", "Ramifex animations (*.ramifex-anim.json);;Scenes (*.json *.png)",
     QFileDialog::AcceptSave, "", "animations"},
    {"Export Video", "MP4 (*.mp4)", QFileDialog::AcceptSave, "", "videos", true},
    {"Export Video", "WebM (*.webm)", QFileDialog::AcceptSave, "", "videos", true},
    {"Export Video", "PNG (*.png)", QFileDialog::AcceptSave, "", "videos", true},
};

QString FolderKey(const DialogShape& shape)
{
    return QStringLiteral("folders/") + shape.Folder;
}

// The folder last used for this kind of file while it is there, else the user's Pictures or home
// folder: never the working folder, which depends on how the program was started.
QString StartFolder(const DialogShape& shape)
{
    const QString remembered =
        QSettings(ProgramSettingsPath(), QSettings::IniFormat).value(FolderKey(shape)).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
    {
        return remembered;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return shape.Pictures && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

}  // namespace

QString SuggestedName(const QString& sceneFile, const char* suffix)
{
    if (sceneFile.isEmpty())
    {
        return QStringLiteral("untitled") + suffix;
    }
    QString stem = sceneFile;
    for (const QString& known : {QString(SceneFileSuffix), QStringLiteral(".png")})
    {
        if (stem.endsWith(known, Qt::CaseInsensitive))
        {
            stem.chop(known.size());
            break;
        }
    }
    return stem + suffix;
}

QString ChooseWithFileDialog(QWidget& owner, FileDialogKind kind, const QString& suggested)
{
    const DialogShape& shape = Shapes[static_cast<int>(kind)];
    QFileDialog dialog(&owner, shape.Caption, StartFolder(shape), shape.Filter);
    dialog.setAcceptMode(shape.Mode);
    dialog.setFileMode(shape.Mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                             : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(shape.DefaultSuffix);
    if (!suggested.isEmpty())
    {
        dialog.selectFile(suggested);
    }
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    {
        return {};
    }
    const QString chosen = dialog.selectedFiles().front();
    QSettings(ProgramSettingsPath(), QSettings::IniFormat)
        .setValue(FolderKey(shape), QFileInfo(chosen).absolutePath());
    return chosen;
}

void ShowWarning(QWidget& owner, const QString& title, const QString& message)
{
    ShowPlainMessage(owner, QMessageBox::Warning, title, message, Qt::WindowModal);
}

}  // namespace ramifex
