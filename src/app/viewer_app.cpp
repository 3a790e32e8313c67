#include "app/viewer_app.h"

#include <QKeyEvent>
#include <QSettings>
#include <QWindow>

#include "app/session_keeper.h"
#include "app/view_commands.h"
#include "core/render/projection.h"
#include "io/recovery/last_session.h"
#include "ui/animwindow/animation_window.h"
#include "ui/document/scene_files.h"
#include "ui/export/export_commands.h"
#include "ui/gallery/gallery_commands.h"
#include "ui/panel/control_panel.h"

namespace ramifex
{

ViewerApp::ViewerApp()
    : sessionPath_(LastSessionPath()),
      viewer_(true),
      renderer_(editor_.SceneForWalk(), viewer_, clock_),
      history_(editor_),
      frames_(editor_, renderer_, commands_)
{
    history_.BindCommands(commands_);
    BindViewCommands(commands_, editor_, commands_, [this] { return WindowPictureSize(); });
    if (!toolkitSettings_.isValid())
    {
        return;  // no temporary folder: the toolkit keeps its own place rather than the working one
    }
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    {
        QSettings::setPath(format, QSettings::UserScope, toolkitSettings_.path());
    }
}

// The viewer's picture, or the window's first size before it opens.
std::pair<int32_t, int32_t> ViewerApp::WindowPictureSize() const
{
    const QSize size = viewer_.PictureSize();
    return size.isEmpty() ? std::pair{StartPictureWidth, StartPictureHeight}
                          : std::pair{size.width(), size.height()};
}

void ViewerApp::Start(const QString& scene)
{
    ControlPanel panel(
        PanelServices{editor_, clock_, commands_,
                      [this](Navigator& navigator) { return viewer_.Open(navigator); },
                      [this]() -> std::optional<QRect> {
                          return viewer_.IsOpen() ? std::optional(viewer_.Window()->frameGeometry())
                                                  : std::nullopt;
                      }});
    SceneFiles files(editor_, history_, commands_, panel,
                     [&panel](const QString& status) { panel.ShowDocumentStatus(status); });
    ExportCommands exports(
        editor_, commands_, panel,
        [this] { return viewer_.IsOpen() ? std::optional(viewer_.PictureSize()) : std::nullopt; },
        [&files] { return files.FilePath(); });
    GalleryCommands gallery(
        editor_, commands_, panel,
        [&files](const Example& example) { files.OpenExample(example.Name, example.Scene); },
        QStringLiteral(RAMIFEX_VERSION));
    // The viewer's keys and files dropped onto it, while the panel lives.
    viewer_.SetKeyRelay([this](const QKeyEvent& event)
                        { return commands_.TriggerViewerKey(event.keyCombination()); });
    viewer_.SetFileDropRelay([&files](const QString& path) { files.OpenLater(path); });
    SessionKeeper keeper(editor_, history_.Stack(), files, panel, sessionPath_, scene.isEmpty(),
                         sessionKeepMs_);
    commands_.Bind(Command::RestoreLastSession, keeper, [&keeper] { keeper.Restore(); });
    if (const QString notice =
            keeper.KeptChangesNotice(commands_.Action(Command::RestoreLastSession));
        !notice.isEmpty())
    {
        panel.ShowDocumentStatus(notice);
    }
    AnimationWindow animation(editor_);
    animation.BindCommands(commands_, &panel);
    if (!scene.isEmpty())
    {
        files.OpenLater(scene);  // once the panel has set up the scene it starts with
    }
    // However the run ends (OK, Cancel, File > Quit, the viewer closed), the program ends with it.
    frames_.Run(panel);
    keeper.KeepIfChanged();
    viewer_.SetKeyRelay({});
    viewer_.SetFileDropRelay({});
}

}  // namespace ramifex
