#pragma once

#include <QObject>

#include "core/editor/scene_editor.h"
#include "ui/commands/command_registry.h"

namespace ramifex
{

// Binds the View menu's commands, the viewer's keys, to the editor for as long as `owner` lives:
// the arrows turn the object, or with Shift the record being edited, as a drag of a few pixels
// would; + and - zoom by a wheel notch; Home resets the view; F frames the whole tree in the
// window's picture, and Frame After Randomize, remembered between runs, has Randomize do so too.
void BindViewCommands(CommandRegistry& commands, SceneEditor& editor, QObject& owner,
                      SceneEditor::PictureSize window);

}  // namespace ramifex
