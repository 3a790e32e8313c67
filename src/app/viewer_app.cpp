#include "app/viewer_app.h"

#include <QSettings>

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

bool ViewerApp::Start()
{
    ControlPanel panel(
        PanelServices{editor_, [this] { renderer_.FrameTick(editor_.RedrawFlag()); }, clock_,
                      [this](Navigator& navigator) { return viewer_.Open(navigator); }});
    // However the run ends (OK, Cancel, the viewer closed), the program ends with it.
    panel.RunModal();
    return false;
}

}  // namespace ramifex
