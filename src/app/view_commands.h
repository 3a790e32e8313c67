#pragma once

#include <QObject>

#include "commands/command_registry.h"
#include "editor/scene_editor.h"

namespace ramifex
{

// Binds the View menu's commands, the viewer's keys, to the editor for as long as `owner` lives:
// the arrows turn the object, or with Shift the record being edited, as a drag of a few pixels
// would; + and - zoom by a wheel notch; Home resets the view.
void BindViewCommands(CommandRegistry& commands, SceneEditor& editor, QObject& owner);

}  // namespace ramifex
