#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "core/editor/scene_editor.h"
#include "ui/commands/command_registry.h"
#include "ui/document/recent_files.h"
#include "ui/document/scene_history.h"

class QWidget;

namespace ramifex
{

class ControlPanel;
class GeometryExport;
class PictureExport;
struct GeometryChoice;

// What a file dialog asks for.
enum class FileDialogKind
{
    OpenScene,
    SaveScene,
    ExportPicture,
    ExportGeometry,
};

// Asks the user for a file, starting from `suggested`; empty when the user cancels.
using FileChooser =
    std::function<QString(QWidget& owner, FileDialogKind kind, const QString& suggested)>;
// The size of the viewer's picture, which an export offers first; none while the viewer is not
// open.
using WindowPictureSize = std::function<std::optional<QSize>()>;
// What an export draws: its size, and the samples per side of each pixel (smooth edges).
struct ExportChoice
{
    ExportChoice(const QSize& size, int32_t samples = 1) : Size(size), Samples(samples) {}
    QSize Size;
    int32_t Samples;
};
// Asks the user for an export's size, from the window's up to the largest, and for smooth edges;
// nothing when cancelled.
using SizeChooser = std::function<std::optional<ExportChoice>(QWidget& owner, const QSize& window,
                                                              const QSize& largest)>;

// Asks what a geometry export writes, with the picture size from the window's up to the largest;
// nothing when cancelled.
using GeometryChooser = std::function<std::optional<GeometryChoice>(
    QWidget& owner, const QSize& window, const QSize& largest)>;

// What the panel's status line says of the scene's file: its name, and whether the scene differs
// from what the file holds; without a file, the scene's title when it has one.
QString DocumentStatusText(const QString& path, bool modified, const QString& title = {});

// The File menu's commands on the scene: Open..., Save, Save As..., Export Picture... and Export
// Geometry..., and the opening of files dropped onto the panel or the viewer. The history keeps
// the scene's file and whether the scene is saved there, so that both follow undo and redo; the
// panel's status line shows them. Ending the program never asks about unsaved changes, so that OK,
// Cancel and closing a window end it at once; the status line says what is unsaved. Errors are
// reported in a message box over the panel.
class SceneFiles final : public QObject
{
    Q_OBJECT

public:
    // Binds the File menu's commands. The editor, its history, the commands and the panel outlive
    // this.
    SceneFiles(SceneEditor& editor, SceneHistory& history, CommandRegistry& commands,
               ControlPanel& panel, WindowPictureSize windowPicture);
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
    // Asks for a size and a file, then draws the complete picture off-screen while both windows
    // go on; a progress dialog can cancel it.
    void ExportPicture();
    // Asks what to export and a file, then gathers the spheres while both windows go on and writes
    // them; a progress dialog can cancel it.
    void ExportGeometry();

    const QString& FilePath() const { return history_.FilePath(); }
    bool Modified() const { return history_.Modified(); }
    bool Exporting() const { return !export_.isNull(); }
    bool ExportingGeometry() const { return !geometryExport_.isNull(); }

    // Replace the toolkit's dialogs, by default window-modal over the panel.
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void SetSizeChooser(SizeChooser chooser) { chooseSize_ = std::move(chooser); }
    void SetGeometryChooser(GeometryChooser chooser) { chooseGeometry_ = std::move(chooser); }

protected:
    // Files dropped onto the panel.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BindCommands();
    bool SaveTo(const QString& path);
    void ShowStatus();
    void Report(const QString& title, const QString& message);
    QString Suggested(const char* suffix) const;
    bool ExportLimits(const QString& title, QSize* window, QSize* largest);
    std::optional<ExportChoice> ChooseExportSize();
    void StartExport(const ExportChoice& choice, const QString& path);
    void OnExportDone(const QString& error);
    void StartGeometryExport(const GeometryChoice& choice, const QString& path);
    void OnGeometryExportDone(const QString& error);

    SceneEditor& editor_;
    SceneHistory& history_;
    CommandRegistry& commands_;
    ControlPanel& panel_;
    WindowPictureSize windowPicture_;
    FileChooser chooseFile_;
    SizeChooser chooseSize_;
    GeometryChooser chooseGeometry_;
    QPointer<PictureExport> export_;
    QPointer<GeometryExport> geometryExport_;
    RecentFiles recent_;
};

}  // namespace ramifex
