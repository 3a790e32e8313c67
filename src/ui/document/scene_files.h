#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "core/editor/scene_editor.h"
#include "ui/commands/command_registry.h"
#include "ui/document/file_dialogs.h"
#include "ui/document/recent_files.h"
#include "ui/document/scene_history.h"

class QWidget;

namespace ramifex
{

// What the panel's status line says of the scene's file: its name, and whether the scene differs
// from what the file holds; without a file, the scene's title when it has one.
QString DocumentStatusText(const QString& path, bool modified, const QString& title = {});

// The File menu's commands on the scene: Open..., Save and Save As..., and the opening of files
// dropped onto the owner (the panel) or the viewer. The history keeps the scene's file and whether
// the scene is saved there, so that both follow undo and redo; the status line shows them. Ending
// the program never asks about unsaved changes, so that OK, Cancel and closing a window end it at
// once; the status line says what is unsaved. Errors are reported in a message box over the owner.
class SceneFiles final : public QObject
{
    Q_OBJECT

public:
    // What the status line shows of the scene's file.
    using StatusShower = std::function<void(const QString&)>;

    // Binds the File menu's commands. The editor, its history, the commands and the owner outlive
    // this.
    SceneFiles(SceneEditor& editor, SceneHistory& history, CommandRegistry& commands,
               QWidget& owner, StatusShower showStatus);
    ~SceneFiles() override;

    void Open();
    // Opens the scene in a scene file or an exported picture: records, iteration count and view
    // offset in one edit. A file that cannot be read is reported and the scene stays as it was.
    bool OpenFile(const QString& path);
    // Opens the file once the current event is done: a drop must finish, and a program starting
    // must show its panel, before a message box may wait for the user.
    void OpenLater(const QString& path);
    // Opens a scene that is no file's, in one edit; the status line names it "Example: NAME".
    void OpenExample(const QString& name, const SceneState& scene);
    // Opens a scene that came from elsewhere than a file the user chose (an example, the last
    // session) in one edit, as belonging to `file` (none: a new scene) and saved there or not; the
    // status line names where it came from until the next edit.
    void OpenFromElsewhere(const SceneState& scene, const QString& origin, const QString& file = {},
                           bool saved = false);
    // Saves to the scene's file, or asks for one as Save As does; a failure is reported and the
    // scene stays unsaved.
    bool Save();
    bool SaveAs();

    const QString& FilePath() const { return history_.FilePath(); }
    bool Modified() const { return history_.Modified(); }

    // Replaces the toolkit's file dialog, by default window-modal over the owner.
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

protected:
    // Files dropped onto the owner.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BindCommands();
    bool SaveTo(const QString& path);
    void ShowStatus();

    SceneEditor& editor_;
    SceneHistory& history_;
    CommandRegistry& commands_;
    QWidget& owner_;
    StatusShower showStatus_;
    FileChooser chooseFile_;
    RecentFiles recent_;
};

}  // namespace ramifex
