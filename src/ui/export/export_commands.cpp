#include "ui/export/export_commands.h"

#include <QFileInfo>

#include "gl/jobs/geometry_job.h"
#include "gl/jobs/offscreen_gl.h"
#include "gl/jobs/output_checks.h"
#include "gl/jobs/picture_job.h"
#include "ui/export/export_size_dialog.h"

namespace ramifex
{
namespace
{

const QString PictureTitle = QStringLiteral("Export Picture");
const QString GeometryTitle = QStringLiteral("Export Geometry");

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

ExportCommands::ExportCommands(SceneEditor& editor, CommandRegistry& commands, QWidget& owner,
                               WindowPictureSize windowPicture,
                               std::function<QString()> documentPath)
    : editor_(editor),
      commands_(commands),
      owner_(owner),
      windowPicture_(std::move(windowPicture)),
      documentPath_(std::move(documentPath)),
      chooseFile_(ChooseWithFileDialog),
      chooseSize_(ChooseWithSizeDialog),
      chooseGeometry_(ChooseWithGeometryDialog)
{
    commands_.Bind(Command::ExportPicture, *this, [this] { ExportPicture(); });
    commands_.Bind(Command::ExportGeometry, *this, [this] { ExportGeometry(); });
}

ExportCommands::~ExportCommands() = default;

// The window's size, which an export starts from, and the largest picture a job can draw; false,
// when there is no window or no job can draw, after saying so.
bool ExportCommands::ExportLimits(const QString& title, QSize* window, QSize* largest)
{
    const std::optional<QSize> shown = windowPicture_();
    if (!shown)
    {
        ShowWarning(owner_, title, QStringLiteral("Cannot export: the OpenGL Window is not open."));
        return false;
    }
    QString why;
    *window = *shown;
    *largest = LargestOffscreenPicture(&why);
    if (largest->isEmpty())
    {
        ShowWarning(owner_, title, QStringLiteral("Cannot export: %1.").arg(why));
        return false;
    }
    return true;
}

// The file the user chooses, named after the scene's; empty when cancelled, or when it cannot be
// written, after saying why: refused before the job begins, which may take long.
QString ExportCommands::ChoosePath(const QString& title, FileDialogKind kind, const char* suffix,
                                   QString (*problemOf)(const QString&))
{
    const QString path = chooseFile_(owner_, kind, SuggestedName(documentPath_(), suffix));
    const QString problem = path.isEmpty() ? QString() : problemOf(path);
    if (!problem.isEmpty())
    {
        ShowWarning(owner_, title, problem);
        return {};
    }
    return path;
}

void ExportCommands::ExportPicture()
{
    QSize window;
    QSize largest;
    if (Exporting() || !ExportLimits(PictureTitle, &window, &largest))
    {
        return;
    }
    const std::optional<ExportChoice> choice = chooseSize_(owner_, window, largest);
    if (!choice)
    {
        return;
    }
    const QString path =
        ChoosePath(PictureTitle, FileDialogKind::ExportPicture, ".png", PictureOutputProblem);
    if (path.isEmpty())
    {
        return;
    }
    RenderSettings settings;
    settings.Size = choice->Size;
    settings.Samples = choice->Samples;
    Run(std::make_unique<PictureJob>(editor_.Scene(), settings, path), path, PictureTitle,
        Command::ExportPicture, picture_);
}

void ExportCommands::ExportGeometry()
{
    QSize window;
    QSize largest;
    if (ExportingGeometry() || !ExportLimits(GeometryTitle, &window, &largest))
    {
        return;
    }
    const std::optional<GeometryChoice> choice = chooseGeometry_(owner_, window, largest);
    if (!choice)
    {
        return;
    }
    const QString path = ChoosePath(GeometryTitle, FileDialogKind::ExportGeometry,
                                    SuffixOf(choice->Options.Format), GeometryOutputProblem);
    if (path.isEmpty())
    {
        return;
    }
    Run(std::make_unique<GeometryJob>(editor_.Scene(), choice->Settings, choice->Options, path),
        path, GeometryTitle, Command::ExportGeometry, geometry_);
}

// Starts the job under a progress dialog held in `running`, the command disabled until it is
// done; says why when it cannot start.
void ExportCommands::Run(std::unique_ptr<Job> job, const QString& path, const QString& title,
                         Command command, QPointer<JobProgress>& running)
{
    if (!job->Start())
    {
        ShowWarning(owner_, title,
                    QStringLiteral("Cannot export \"%1\": %2.")
                        .arg(QFileInfo(path).fileName(), job->Error()));
        return;
    }
    running = new JobProgress(std::move(job), title, false, owner_, this);
    commands_.Action(command).setEnabled(false);
    connect(running, &JobProgress::Done, this,
            [this, &running, title, command](const QString& error)
            {
                running->deleteLater();
                running.clear();
                commands_.Action(command).setEnabled(true);
                if (!error.isEmpty())
                {
                    ShowWarning(owner_, title, error);
                }
            });
}

}  // namespace ramifex
