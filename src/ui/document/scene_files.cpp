#include "ui/document/scene_files.h"

#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include "gl/jobs/offscreen_gl.h"
#include "gl/jobs/render_job.h"
#include "io/scenefile/dropped_file.h"
#include "io/scenefile/scene_file.h"
#include "ui/export/export_size_dialog.h"
#include "ui/export/geometry_export.h"
#include "ui/export/geometry_export_dialog.h"
#include "ui/export/picture_export.h"
#include "ui/panel/control_panel.h"

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

QString ChooseWithFileDialog(QWidget& owner, FileDialogKind kind, const QString& suggested)
{
    static const DialogShape shapes[] = {
        {"Open Scene", "Ramifex scenes and pictures (*.ramifex.json *.png);;All files (*)",
         QFileDialog::AcceptOpen, ""},
        {"Save Scene As", "Ramifex scenes (*.ramifex.json)", QFileDialog::AcceptSave,
         "ramifex.json"},
        {"Export Picture", "PNG pictures (*.png)", QFileDialog::AcceptSave, "png"},
        {"Export Geometry", "Geometry files (*.glb *.ply *.stl *.obj)", QFileDialog::AcceptSave,
         ""},
    };
    const DialogShape& shape = shapes[static_cast<int>(kind)];
    QFileDialog dialog(&owner, shape.Caption, QString(), shape.Filter);
    dialog.setAcceptMode(shape.Mode);
    dialog.setFileMode(shape.Mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                             : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(shape.DefaultSuffix);
    if (!suggested.isEmpty())
    {
        dialog.selectFile(suggested);
    }
    // Blocks the panel only: the viewer stays usable and the timer keeps drawing meanwhile.
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::optional<ExportChoice> ChooseWithSizeDialog(QWidget& owner, const QSize& window,
                                                 const QSize& largest)
{
    ExportSizeDialog dialog(window, largest, &owner);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
    {
        return std::nullopt;
    }
    return ExportChoice(dialog.Size(), dialog.Samples());
}

std::optional<GeometryChoice> ChooseWithGeometryDialog(QWidget& owner, const QSize& window,
                                                       const QSize& largest)
{
    GeometryExportDialog dialog(window, largest, &owner);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
    {
        return std::nullopt;
    }
    return dialog.Choice();
}

}  // namespace

QString DocumentStatusText(const QString& path, bool modified, const QString& title)
{
    if (!title.isEmpty())
    {
        return title;
    }
    if (path.isEmpty())
    {
        return QStringLiteral("New scene, not saved");
    }
    const QString name = QFileInfo(path).fileName();
    return modified ? QStringLiteral("%1: unsaved changes").arg(name) : name;
}

SceneFiles::SceneFiles(SceneEditor& editor, SceneHistory& history, CommandRegistry& commands,
                       ControlPanel& panel, WindowPictureSize windowPicture)
    : editor_(editor),
      history_(history),
      commands_(commands),
      panel_(panel),
      windowPicture_(std::move(windowPicture)),
      chooseFile_(ChooseWithFileDialog),
      chooseSize_(ChooseWithSizeDialog),
      chooseGeometry_(ChooseWithGeometryDialog),
      recent_(commands, panel, [this](const QString& path) { OpenFile(path); })
{
    BindCommands();
    panel_.setAcceptDrops(true);
    panel_.installEventFilter(this);
    history_.SetFileListener([this] { ShowStatus(); });
    ShowStatus();
}

SceneFiles::~SceneFiles()
{
    history_.SetFileListener({});
}

void SceneFiles::BindCommands()
{
    commands_.Bind(Command::Open, *this, [this] { Open(); });
    commands_.Bind(Command::Save, *this, [this] { Save(); });
    commands_.Bind(Command::SaveAs, *this, [this] { SaveAs(); });
    commands_.Bind(Command::ExportPicture, *this, [this] { ExportPicture(); });
    commands_.Bind(Command::ExportGeometry, *this, [this] { ExportGeometry(); });
}

void SceneFiles::Open()
{
    const QString path = chooseFile_(panel_, FileDialogKind::OpenScene, FilePath());
    if (!path.isEmpty())
    {
        OpenFile(path);
    }
}

bool SceneFiles::OpenFile(const QString& path)
{
    QString error;
    const std::optional<SceneState> scene = ReadSceneFile(path, &error);
    if (!scene)
    {
        Report(QStringLiteral("Open Scene"), error);
        return false;
    }
    editor_.OpenScene(*scene);
    history_.FileHolds(path);
    recent_.Add(path);
    return true;
}

void SceneFiles::OpenLater(const QString& path)
{
    QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void SceneFiles::OpenExample(const QString& name, const SceneState& scene)
{
    OpenFromElsewhere(scene, QStringLiteral("Example: %1").arg(name));
}

// A picture holds its scene but is no scene file, nor is a file of another name: saving asks for
// one.
bool SceneFiles::Save()
{
    return FilePath().isEmpty() || !IsSceneFileName(FilePath()) ? SaveAs() : SaveTo(FilePath());
}

bool SceneFiles::SaveAs()
{
    const QString path = chooseFile_(panel_, FileDialogKind::SaveScene, Suggested(SceneFileSuffix));
    return !path.isEmpty() && SaveTo(path);
}

bool SceneFiles::SaveTo(const QString& path)
{
    QString error;
    if (!WriteSceneFile(path, editor_.Scene(), &error))
    {
        Report(QStringLiteral("Save Scene"), error);
        return false;
    }
    history_.FileHolds(path);
    recent_.Add(path);
    return true;
}

void SceneFiles::ShowStatus()
{
    panel_.ShowDocumentStatus(DocumentStatusText(FilePath(), Modified(), history_.Title()));
}

void SceneFiles::OpenFromElsewhere(const SceneState& scene, const QString& origin,
                                   const QString& file, bool saved)
{
    editor_.OpenScene(scene);
    history_.NameScene(origin);
    if (!file.isEmpty())
    {
        saved ? history_.FileHolds(file) : history_.FileIs(file);
    }
}

void SceneFiles::Report(const QString& title, const QString& message)
{
    QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::Ok, &panel_);
    box.setTextFormat(Qt::PlainText);
    // Blocks the panel only: the viewer stays usable and the timer keeps drawing meanwhile.
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

// The scene's file with another suffix, or a new name in the working folder.
QString SceneFiles::Suggested(const char* suffix) const
{
    if (FilePath().isEmpty())
    {
        return QStringLiteral("untitled") + suffix;
    }
    QString stem = FilePath();
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

void SceneFiles::ExportPicture()
{
    if (Exporting())
    {
        return;
    }
    const std::optional<ExportChoice> choice = ChooseExportSize();
    if (!choice)
    {
        return;
    }
    const QString path = chooseFile_(panel_, FileDialogKind::ExportPicture, Suggested(".png"));
    if (path.isEmpty())
    {
        return;
    }
    QString error;
    if (!CanWritePicture(path, &error))  // before drawing, which may take long
    {
        Report(QStringLiteral("Export Picture"), error);
        return;
    }
    StartExport(*choice, path);
}

// The window's size, which an export starts from, and the largest picture a render job can draw;
// false, when there is no window or no job can draw, after saying so.
bool SceneFiles::ExportLimits(const QString& title, QSize* window, QSize* largest)
{
    const std::optional<QSize> shown = windowPicture_();
    if (!shown)
    {
        Report(title, QStringLiteral("Cannot export: the OpenGL Window is not open."));
        return false;
    }
    QString why;
    *window = *shown;
    *largest = LargestOffscreenPicture(&why);
    if (largest->isEmpty())
    {
        Report(title, QStringLiteral("Cannot export: %1.").arg(why));
        return false;
    }
    return true;
}

// Nothing when the export cannot start or the user cancels.
std::optional<ExportChoice> SceneFiles::ChooseExportSize()
{
    QSize window;
    QSize largest;
    if (!ExportLimits(QStringLiteral("Export Picture"), &window, &largest))
    {
        return std::nullopt;
    }
    return chooseSize_(panel_, window, largest);
}

void SceneFiles::StartExport(const ExportChoice& choice, const QString& path)
{
    RenderSettings settings;
    settings.Size = choice.Size;
    settings.Samples = choice.Samples;
    auto job = std::make_unique<RenderJob>(std::vector{editor_.Scene()}, settings);
    if (!job->Start())
    {
        Report(QStringLiteral("Export Picture"),
               QStringLiteral("Cannot export \"%1\": %2.")
                   .arg(QFileInfo(path).fileName(), job->Error()));
        return;
    }
    export_ = new PictureExport(std::move(job), path, panel_, this);
    connect(export_, &PictureExport::Done, this, &SceneFiles::OnExportDone);
    commands_.Action(Command::ExportPicture).setEnabled(false);
}

void SceneFiles::OnExportDone(const QString& error)
{
    export_->deleteLater();
    export_.clear();
    commands_.Action(Command::ExportPicture).setEnabled(true);
    if (!error.isEmpty())
    {
        Report(QStringLiteral("Export Picture"), error);
    }
}

void SceneFiles::ExportGeometry()
{
    const QString title = QStringLiteral("Export Geometry");
    QSize window;
    QSize largest;
    if (ExportingGeometry() || !ExportLimits(title, &window, &largest))
    {
        return;
    }
    const std::optional<GeometryChoice> choice = chooseGeometry_(panel_, window, largest);
    if (!choice)
    {
        return;
    }
    const QString path = chooseFile_(panel_, FileDialogKind::ExportGeometry,
                                     Suggested(SuffixOf(choice->Options.Format)));
    if (path.isEmpty())
    {
        return;
    }
    QString error;
    if (!CanWriteGeometry(path, &error))  // before gathering, which may take long
    {
        Report(title, error);
        return;
    }
    StartGeometryExport(*choice, path);
}

void SceneFiles::StartGeometryExport(const GeometryChoice& choice, const QString& path)
{
    auto job = std::make_unique<GeometryJob>(editor_.Scene(), choice.Settings);
    if (!job->Start())
    {
        Report(QStringLiteral("Export Geometry"),
               QStringLiteral("Cannot export \"%1\": %2.")
                   .arg(QFileInfo(path).fileName(), job->Error()));
        return;
    }
    geometryExport_ = new GeometryExport(std::move(job), choice.Options, path, panel_, this);
    connect(geometryExport_, &GeometryExport::Done, this, &SceneFiles::OnGeometryExportDone);
    commands_.Action(Command::ExportGeometry).setEnabled(false);
}

void SceneFiles::OnGeometryExportDone(const QString& error)
{
    geometryExport_->deleteLater();
    geometryExport_.clear();
    commands_.Action(Command::ExportGeometry).setEnabled(true);
    if (!error.isEmpty())
    {
        Report(QStringLiteral("Export Geometry"), error);
    }
}

bool SceneFiles::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != &panel_ ||
        (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
    {
        return QObject::eventFilter(watched, event);
    }
    auto& drop = static_cast<QDropEvent&>(*event);
    const std::optional<QString> file = DroppedFile(drop.mimeData());
    if (!file)
    {
        return false;  // the panel ignores it
    }
    drop.acceptProposedAction();
    if (type == QEvent::Drop)
    {
        OpenLater(*file);
    }
    return true;
}

}  // namespace ramifex
