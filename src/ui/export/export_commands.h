#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/editor/scene_editor.h"
#include "ui/commands/command_registry.h"
#include "ui/document/file_dialogs.h"
#include "ui/export/geometry_export_dialog.h"
#include "ui/export/job_progress.h"

class QWidget;

namespace ramifex
{

// The size of the viewer's picture, which an export offers first; none while the viewer is not
// open.
using WindowPictureSize = std::function<std::optional<QSize>()>;
// What an exported picture is: its size, and the samples per side of each pixel (smooth edges).
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

// File > Export Picture... and Export Geometry...: each asks what to export and a file, then
// draws the complete picture off-screen, or gathers the spheres, of the scene as it was when the
// export began, while both windows go on; a progress dialog can cancel it. Failures are reported
// in a message box over the owner.
class ExportCommands final : public QObject
{
    Q_OBJECT

public:
    // Binds the commands. The editor, the commands and the owner outlive this; `documentPath`
    // gives the scene's file, after which an export is named.
    ExportCommands(SceneEditor& editor, CommandRegistry& commands, QWidget& owner,
                   WindowPictureSize windowPicture, std::function<QString()> documentPath);
    ~ExportCommands() override;

    void ExportPicture();
    void ExportGeometry();
    bool Exporting() const { return !picture_.isNull(); }
    bool ExportingGeometry() const { return !geometry_.isNull(); }

    // Replace the toolkit's dialogs, by default window-modal over the owner.
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void SetSizeChooser(SizeChooser chooser) { chooseSize_ = std::move(chooser); }
    void SetGeometryChooser(GeometryChooser chooser) { chooseGeometry_ = std::move(chooser); }

private:
    bool ExportLimits(const QString& title, QSize* window, QSize* largest);
    QString ChoosePath(const QString& title, FileDialogKind kind, const char* suffix,
                       QString (*problemOf)(const QString&));
    void Run(std::unique_ptr<Job> job, const QString& path, const QString& title, Command command,
             QPointer<JobProgress>& running);

    SceneEditor& editor_;
    CommandRegistry& commands_;
    QWidget& owner_;
    WindowPictureSize windowPicture_;
    std::function<QString()> documentPath_;
    FileChooser chooseFile_;
    SizeChooser chooseSize_;
    GeometryChooser chooseGeometry_;
    QPointer<JobProgress> picture_;
    QPointer<JobProgress> geometry_;
};

}  // namespace ramifex
