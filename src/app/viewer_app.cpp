#include "app/viewer_app.h"

#include <QKeyEvent>
#include <QSettings>

#include "files/scene_files.h"
#include "panel/control_panel.h"

namespace ramifex
{

ViewerApp::ViewerApp() : viewer_(true), renderer_(editor_.SceneForWalk(), viewer_, clock_)
{
    if (!toolkitSettings_.isValid())
    {
        return;  // no temporary folder: the toolkit keeps its own place rather than the working one
    }
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    {
        QSettings::setPath(format, QSettings::UserScope, toolkitSettings_.path());
    }
}

bool ViewerApp::Start(const QString& scene)
{
    ControlPanel panel(
        PanelServices{editor_, [this] { renderer_.FrameTick(editor_.RedrawFlag()); }, clock_,
                      [this](Navigator& navigator) { return viewer_.Open(navigator); },
                      [this] { return renderer_.Progress(); }});
    SceneFiles files(
        editor_, panel,
        [this] { return viewer_.IsOpen() ? std::optional(viewer_.PictureSize()) : std::nullopt; });
    // The viewer's keys, and the panel's menu shortcuts in the viewer, and files dropped onto it,
    // while the panel lives.
    viewer_.SetKeyRelay([&panel](const QKeyEvent& event)
                        { return panel.HandleViewerKey(event.keyCombination()); });
    viewer_.SetFileDropRelay([&files](const QString& path) { files.OpenLater(path); });
    if (!scene.isEmpty())
    {
        files.OpenLater(scene);  // once the panel has set up the scene it starts with
    }
    // However the run ends (OK, Cancel, the viewer closed), the program ends with it.
    panel.RunModal();
    viewer_.SetKeyRelay({});
    viewer_.SetFileDropRelay({});
    return false;
}

}  // namespace ramifex
