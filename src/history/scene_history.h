#pragma once

#include <QUndoStack>

#include "commands/command_registry.h"
#include "editor/scene_editor.h"

namespace ramifex
{

// The undo history of a scene editor: one command on a QUndoStack per user action, holding the
// scene from before and after it, so that undoing and redoing restore every value bit for bit and
// restart the picture. The edits of one gesture make one command, and so do consecutive edits of
// the iteration count or consecutive zoom steps while the same record is being edited. An action
// that changes nothing leaves no command. Memory grows with the commands, two scenes each, never
// with the picture; the oldest go beyond Limit.
class SceneHistory
{
public:
    static constexpr int Limit = 300;

    explicit SceneHistory(SceneEditor& editor);
    ~SceneHistory();
    SceneHistory(const SceneHistory&) = delete;
    SceneHistory& operator=(const SceneHistory&) = delete;

    // Undo and redo, the menu's texts ("Undo Randomize") and whether either can be done.
    QUndoStack& Stack() { return stack_; }

    // Binds the Undo and Redo commands, named after the action they would undo or redo and
    // enabled while there is one. The commands outlive the history.
    void BindCommands(CommandRegistry& commands);

private:
    SceneEditor& editor_;
    QUndoStack stack_;
};

}  // namespace ramifex
