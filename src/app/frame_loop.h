#pragma once

#include <QTimer>

#include "core/editor/scene_editor.h"
#include "core/render/tree_renderer.h"
#include "ui/commands/command_registry.h"
#include "ui/panel/control_panel.h"

namespace ramifex
{

// The program's frame loop: every 50 ms while the panel runs, the frame tick continues the walk
// for up to its budget and presents it, or restarts it once an edit has requested a redraw, and
// the panel's status line says how far the picture is. Ticks come from the event loop, so they go
// on in the nested loops of dialogs too. View > Stop Drawing leaves the picture as far as it got
// until the next edit requests a redraw.
class FrameLoop
{
public:
    // The renderer walks the editor's scene; both outlive the loop, as do the commands, whose
    // Stop Drawing the loop binds.
    FrameLoop(SceneEditor& editor, TreeRenderer& renderer, CommandRegistry& commands);

    // Initialises the panel and runs it (ControlPanel::RunModal), ticking from the end of its
    // initialisation to the end of its run; returns the run's result.
    int Run(ControlPanel& panel);

    // One frame tick; the timer calls it.
    void Tick();
    const QTimer& Timer() const { return timer_; }

private:
    void ShowProgress();

    SceneEditor& editor_;
    TreeRenderer& renderer_;
    QAction& stop_;
    bool stopped_ = false;           // until the next redraw request
    ControlPanel* panel_ = nullptr;  // while it runs
    QTimer timer_;
};

}  // namespace ramifex
