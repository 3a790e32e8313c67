#pragma once

#include <QTemporaryDir>

#include "render/millisecond_clock.h"
#include "render/tree_renderer.h"
#include "scene/scene_state.h"
#include "viewer/gl_viewer.h"

namespace ramifex
{

// The application: owns the scene, the clock, the viewer and the renderer for the life of the
// process, and runs the control panel, whose run is the program's whole interactive life.
class ViewerApp
{
public:
    ViewerApp();

    // Runs the control panel until it is ended or the viewer window is closed, then destroys it.
    // Returns false: nothing runs after the panel, and the program ends.
    bool Start();

    GlViewer& Viewer() { return viewer_; }
    SceneState& Scene() { return scene_; }
    RandomGenerator& Generator() { return generator_; }
    const TreeRenderer& Renderer() const { return renderer_; }

private:
    // The program keeps no settings, but the toolkit's colour chooser remembers custom colours in
    // the toolkit's settings file; they are kept in a folder that goes with this run.
    QTemporaryDir toolkitSettings_;
    SceneState scene_;
    RandomGenerator generator_;
    SteadyMillisecondClock clock_;
    GlViewer viewer_;
    TreeRenderer renderer_;
};

}  // namespace ramifex
