#include "ui/document/scene_files.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QTimer>

#include "io/scenefile/dropped_file.h"
#include "io/scenefile/scene_file.h"

namespace ramifex
{

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
                       QWidget& owner, StatusShower showStatus)
    : editor_(editor),
      history_(history),
      commands_(commands),
      owner_(owner),
      showStatus_(std::move(showStatus)),
      chooseFile_(ChooseWithFileDialog),
      recent_(commands, owner, [this](const QString& path) { OpenFile(path); })
{
    BindCommands();
    owner_.setAcceptDrops(true);
    owner_.installEventFilter(this);
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
}

void SceneFiles::Open()
{
    const QString path = chooseFile_(owner_, FileDialogKind::OpenScene, FilePath());
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
        ShowWarning(owner_, QStringLiteral("Open Scene"), error);
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
    const QString path =
        chooseFile_(owner_, FileDialogKind::SaveScene, SuggestedName(FilePath(), SceneFileSuffix));
    return !path.isEmpty() && SaveTo(path);
}

bool SceneFiles::SaveTo(const QString& path)
{
    QString error;
    if (!WriteSceneFile(path, editor_.Scene(), &error))
    {
        ShowWarning(owner_, QStringLiteral("Save Scene"), error);
        return false;
    }
    history_.FileHolds(path);
    recent_.Add(path);
    return true;
}

void SceneFiles::ShowStatus()
{
    showStatus_(DocumentStatusText(FilePath(), Modified(), history_.Title()));
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

bool SceneFiles::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != &owner_ ||
        (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
    {
        return QObject::eventFilter(watched, event);
    }
    auto& drop = static_cast<QDropEvent&>(*event);
    const std::optional<QString> file = DroppedFile(drop.mimeData());
    if (!file)
    {
        return false;  // the owner ignores it
    }
    drop.acceptProposedAction();
    if (type == QEvent::Drop)
    {
        OpenLater(*file);
    }
    return true;
}

}  // namespace ramifex
