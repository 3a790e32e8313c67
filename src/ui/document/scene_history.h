#pragma once

#include <QHash>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/editor/scene_editor.h"
#include "ui/commands/command_registry.h"

namespace ramifex
{

struct HistoryPlace;

// The undo history of a scene editor: one command on a QUndoStack per user action, holding the
// scene from before and after it, so that undoing and redoing restore every value bit for bit and
// restart the picture. The edits of one gesture make one command, and so do consecutive edits of
// the iteration count or consecutive zoom steps while the same record is being edited. An action
// that changes nothing leaves no command. Memory grows with the commands, two scenes each, never
// with the picture; the oldest go beyond Limit.
//
// It also knows the scene's file at every place in it, so that the file follows undo and redo: an
// Open or a Save As undone gives back the file from before it, and the scene is saved where its
// file was last read or written, whatever happened since.
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

    // The scene's file at the current place: where it was opened from or saved to; empty when it
    // has none.
    const QString& FilePath() const;
    // Whether the scene differs from what its file holds: the file was last read or written at
    // another place, or there is no file.
    bool Modified() const;
    // The current scene was just read from this file (after the editor's OpenScene) or written to
    // it: the file of the current place, and of the edits made from it; other places keep theirs.
    void FileHolds(const QString& path);
    // The current scene was just opened from what is no file, such as an example (after the
    // editor's OpenScene): it has no file at the current place, which the title names; the edits
    // made from it have neither.
    void NameScene(const QString& title);
    // The current place's title, while it has no file.
    const QString& Title() const;
    // The current scene belongs to this file but differs from what it holds.
    void FileIs(const QString& path);
    // Hears of every change of the file or of whether the scene is saved; none by default.
    void SetFileListener(std::function<void()> listener) { fileListener_ = std::move(listener); }

private:
    const std::shared_ptr<HistoryPlace>& CurrentPlace() const;
    void Record(const SceneEdit& edit);
    void FileChanged() const;

    SceneEditor& editor_;
    QUndoStack stack_;
    std::shared_ptr<HistoryPlace> start_;  // before the first step the stack holds
    uint64_t lastSerial_ = 0;
    QHash<QString, uint64_t> fileHolds_;  // the place whose scene each file holds
    std::function<void()> fileListener_;
};

}  // namespace ramifex
