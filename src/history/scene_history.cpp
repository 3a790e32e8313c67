#include "history/scene_history.h"

#include <optional>
#include <utility>

namespace ramifex
{
namespace
{

QString ActionName(EditAction action)
{
    switch (action)
    {
        case EditAction::Sliders:
            return QStringLiteral("Move Slider");
        case EditAction::Iterations:
            return QStringLiteral("Set Iterations");
        case EditAction::Randomize:
            return QStringLiteral("Randomize");
        case EditAction::Colour:
            return QStringLiteral("Choose Color");
        case EditAction::Turn:
            return QStringLiteral("Turn");
        case EditAction::Move:
            return QStringLiteral("Move");
        case EditAction::Zoom:
            return QStringLiteral("Zoom");
        case EditAction::ResetView:
            return QStringLiteral("Reset View");
        case EditAction::Open:
            return QStringLiteral("Open");
    }
    return {};
}

// Typing runs on, and so does turning the wheel.
bool RunsOn(EditAction action)
{
    return action == EditAction::Iterations || action == EditAction::Zoom;
}

// One user action: the scene and the record being edited, from before its first edit and after
// its last.
class SceneStep final : public QUndoCommand
{
public:
    SceneStep(SceneEditor& editor, const SceneEdit& edit)
        : QUndoCommand(ActionName(edit.Action)),
          editor_(editor),
          action_(edit.Action),
          gesture_(edit.Gesture),
          before_(edit.Before),
          after_(edit.After),
          currentBefore_(edit.Current),
          currentAfter_(edit.Current)
    {
        setObsolete(ChangesNothing());
    }

    // Commands that may merge share an id: each action's own, so that a gesture's turns stay apart
    // from a wheel turn made while the button is held.
    int id() const override
    {
        return gesture_ != 0 || RunsOn(action_) ? static_cast<int>(action_) : -1;
    }

    bool mergeWith(const QUndoCommand* command) override
    {
        const auto& next = static_cast<const SceneStep&>(*command);
        const bool sameGesture = gesture_ != 0 && next.gesture_ == gesture_;
        // Choosing another record to edit ends a run.
        const bool runsOn =
            gesture_ == 0 && next.gesture_ == 0 && next.currentBefore_ == currentAfter_;
        if (!sameGesture && !runsOn)
        {
            return false;
        }
        after_ = next.after_;
        currentAfter_ = next.currentAfter_;
        setObsolete(ChangesNothing());
        return true;
    }

    // The stack runs redo once as it takes the command, which has been done already.
    void redo() override
    {
        if (!std::exchange(pushed_, false))
        {
            editor_.Restore(after_, Selection(currentAfter_));
        }
    }

    void undo() override { editor_.Restore(before_, Selection(currentBefore_)); }

private:
    bool ChangesNothing() const { return before_ == after_ && currentBefore_ == currentAfter_; }

    // The record being edited is put back only when the action changed it.
    std::optional<int32_t> Selection(int32_t current) const
    {
        return currentBefore_ != currentAfter_ ? std::optional(current) : std::nullopt;
    }

    SceneEditor& editor_;
    EditAction action_;
    int gesture_;
    SceneState before_;
    SceneState after_;
    int32_t currentBefore_;
    int32_t currentAfter_;
    bool pushed_ = true;
};

}  // namespace

SceneHistory::SceneHistory(SceneEditor& editor) : editor_(editor)
{
    stack_.setUndoLimit(Limit);
    editor_.SetRecorder([this](const SceneEdit& edit)
                        { stack_.push(new SceneStep(editor_, edit)); });
}

SceneHistory::~SceneHistory()
{
    editor_.SetRecorder({});
}

void SceneHistory::BindCommands(CommandRegistry& commands)
{
    commands.Bind(Command::Undo, stack_, [this] { stack_.undo(); });
    commands.Bind(Command::Redo, stack_, [this] { stack_.redo(); });
    const auto follow = [this, &commands]
    {
        commands.Action(Command::Undo).setEnabled(stack_.canUndo());
        commands.NameAfter(Command::Undo, stack_.undoText());
        commands.Action(Command::Redo).setEnabled(stack_.canRedo());
        commands.NameAfter(Command::Redo, stack_.redoText());
    };
    follow();
    // Every push, merge, undo and redo moves the index or announces it again.
    QObject::connect(&stack_, &QUndoStack::indexChanged, &stack_, follow);
}

}  // namespace ramifex
