#pragma once

#include <QTemporaryDir>
#include <QUndoStack>

#include "app/frame_loop.h"
#include "app/session_keeper.h"
#include "core/editor/scene_editor.h"
#include "core/render/millisecond_clock.h"
#include "core/render/tree_renderer.h"
#include "gl/viewer/gl_viewer.h"
#include "ui/commands/command_registry.h"
#include "ui/document/scene_history.h"

namespace ramifex
{

// The application: owns the scene editor, the clock, the viewer, the renderer, the program's
// commands, the undo history and the frame loop for the life of the process, and runs the control
// panel, whose run is the program's whole interactive life. The viewer's gestures go to the
// editor, so they stay safe once the panel has gone.
class ViewerApp
{
public:
    // Needs the application object.
    ViewerApp();

    // Runs the control panel, with the scene of a file when one is named, until it is ended or the
    // viewer window is closed, then destroys it; the frame loop ticks while the panel is up.
    // Nothing runs after the panel: the program ends.
    void Start(const QString& scene = {});
    // Where the last session is kept, and how often while it changes; by default in the user's
    // data folder, every 30 s.
    void SetSessionPath(const QString& path, int keepMs = SessionKeeper::KeepMilliseconds)
    {
        sessionPath_ = path;
        sessionKeepMs_ = keepMs;
    }

    GlViewer& Viewer() { return viewer_; }
    SceneEditor& Editor() { return editor_; }
    const TreeRenderer& Renderer() const { return renderer_; }
    QUndoStack& History() { return history_.Stack(); }
    CommandRegistry& Commands() { return commands_; }
    const FrameLoop& Frames() const { return frames_; }

private:
    std::pair<int32_t, int32_t> WindowPictureSize() const;

    // The program keeps its own settings in a file of its own (ProgramSettingsPath); the toolkit's
    // colour chooser remembers custom colours in the toolkit's settings file, which is kept in a
    // folder that goes with this run.
    QTemporaryDir toolkitSettings_;
    QString sessionPath_;
    int sessionKeepMs_ = SessionKeeper::KeepMilliseconds;
    SceneEditor editor_;
    SteadyMillisecondClock clock_;
    GlViewer viewer_;
    TreeRenderer renderer_;
    CommandRegistry commands_;
    SceneHistory history_;
    FrameLoop frames_;
};

}  // namespace ramifex
