#include "ui/document/file_dialogs.h"

#include <QFileDialog>

#include "io/scenefile/scene_file.h"
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
};

// In the order of FileDialogKind.
const DialogShape Shapes[] = {
    {"Open Scene", "Ramifex scenes and pictures (*.ramifex.json *.png);;All files (*)",
     QFileDialog::AcceptOpen, ""},
    {"Save Scene As", "Ramifex scenes (*.ramifex.json)", QFileDialog::AcceptSave, "ramifex.json"},
    {"Export Picture", "PNG pictures (*.png)", QFileDialog::AcceptSave, "png"},
    {"Export Geometry", "Geometry files (*.glb *.ply *.stl *.obj)", QFileDialog::AcceptSave, ""},
    {"Open Animation", "Ramifex animations (*.ramifex-anim.json);;Scenes (*.json *.png)",
     QFileDialog::AcceptOpen, ""},
    {"Save Animation", "Ramifex animations (*.ramifex-anim.json);;Scenes (*.json *.png)",
     QFileDialog::AcceptSave, ""},
    {"Export Video", "MP4 (*.mp4)", QFileDialog::AcceptSave, ""},
    {"Export Video", "WebM (*.webm)", QFileDialog::AcceptSave, ""},
    {"Export Video", "PNG (*.png)", QFileDialog::AcceptSave, ""},
};

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
    QFileDialog dialog(&owner, shape.Caption, QString(), shape.Filter);
    dialog.setAcceptMode(shape.Mode);
    dialog.setFileMode(shape.Mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                             : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(shape.DefaultSuffix);
    if (!suggested.isEmpty())
    {
        dialog.selectFile(suggested);
    }
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void ShowWarning(QWidget& owner, const QString& title, const QString& message)
{
    ShowPlainMessage(owner, QMessageBox::Warning, title, message, Qt::WindowModal);
}

}  // namespace ramifex
