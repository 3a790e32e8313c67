#include "app/viewer_app.h"

#include <QKeyEvent>
#include <QSettings>

#include "animwindow/animation_window.h"
#include "app/view_commands.h"
#include "files/scene_files.h"
#include "panel/control_panel.h"

namespace ramifex
{

ViewerApp::ViewerApp()
    : viewer_(true),
      renderer_(editor_.SceneForWalk(), viewer_, clock_),
      history_(editor_),
      frames_(editor_, renderer_)
{
    history_.BindCommands(commands_);
    BindViewCommands(commands_, editor_, commands_);
    if (!toolkitSettings_.isValid())
    {
        return;  // no temporary folder: the toolkit keeps its own place rather than the working one
    }
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    {
        QSettings::setPath(format, QSettings::UserScope, toolkitSettings_.path());
    }
}

void ViewerApp::Start(const QString& scene)
{
    ControlPanel panel(PanelServices{editor_, clock_, commands_, [this](Navigator& navigator) {
                                         return viewer_.Open(navigator);
                                     }});
    SceneFiles files(
        editor_, history_, commands_, panel,
        [this] { return viewer_.IsOpen() ? std::optional(viewer_.PictureSize()) : std::nullopt; });
    // The viewer's keys and files dropped onto it, while the panel lives.
    viewer_.SetKeyRelay([this](const QKeyEvent& event)
                        { return commands_.TriggerViewerKey(event.keyCombination()); });
    viewer_.SetFileDropRelay([&files](const QString& path) { files.OpenLater(path); });
    AnimationWindow animation(editor_);
    animation.BindCommands(commands_);
    if (!scene.isEmpty())
    {
        files.OpenLater(scene);  // once the panel has set up the scene it starts with
    }
    // However the run ends (OK, Cancel, File > Quit, the viewer closed), the program ends with it.
    frames_.Run(panel);
    viewer_.SetKeyRelay({});
    viewer_.SetFileDropRelay({});
}

}  // namespace ramifex
