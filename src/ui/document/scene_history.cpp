#include "ui/document/scene_history.h"

#include <memory>
#include <optional>
#include <utility>

namespace ramifex
{

// One place in the history, shared by the steps on either side of it: the scene's file there, a
// number no other place has had, and what the scene is called there when it has no file.
struct HistoryPlace
{
    QString File;
    uint64_t Serial = 0;
    // What the status line names the scene by at this place, when it came from no file the user
    // chose (an example, the last session); the edits made from it have none.
    QString Title;
};

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
        case EditAction::Frame:
            return QStringLiteral("Frame the Whole Tree");
        case EditAction::Variation:
            return QStringLiteral("Variation");
    }
    return {};
}

// Typing runs on, and so does turning the wheel.
bool RunsOn(EditAction action)
{
    return action == EditAction::Iterations || action == EditAction::Zoom;
}

// One user action: the scene and the record being edited, from before its first edit and after
// its last, and the places in the history on either side of it.
class SceneStep final : public QUndoCommand
{
public:
    SceneStep(SceneEditor& editor, const SceneEdit& edit, std::shared_ptr<HistoryPlace> placeBefore,
              std::shared_ptr<HistoryPlace> placeAfter)
        : QUndoCommand(ActionName(edit.Action)),
          editor_(editor),
          action_(edit.Action),
          gesture_(edit.Gesture),
          before_(edit.Before),
          after_(edit.After),
          currentBefore_(edit.Current),
          currentAfter_(edit.Current),
          placeBefore_(std::move(placeBefore)),
          placeAfter_(std::move(placeAfter))
    {
        setObsolete(ChangesNothing());
    }

    const std::shared_ptr<HistoryPlace>& PlaceBefore() const { return placeBefore_; }
    const std::shared_ptr<HistoryPlace>& PlaceAfter() const { return placeAfter_; }

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
        placeAfter_ = next.placeAfter_;
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
    std::shared_ptr<HistoryPlace> placeBefore_;
    std::shared_ptr<HistoryPlace> placeAfter_;
    bool pushed_ = true;
};

const SceneStep& StepAt(const QUndoStack& stack, int index)
{
    return static_cast<const SceneStep&>(*stack.command(index));
}

}  // namespace

SceneHistory::SceneHistory(SceneEditor& editor)
    : editor_(editor), start_(std::make_shared<HistoryPlace>())
{
    stack_.setUndoLimit(Limit);
    editor_.SetRecorder([this](const SceneEdit& edit) { Record(edit); });
    // Undo and redo move the index.
    QObject::connect(&stack_, &QUndoStack::indexChanged, &stack_, [this] { FileChanged(); });
}

SceneHistory::~SceneHistory()
{
    editor_.SetRecorder({});
}

// An edit keeps the file but not the title; the new place is saved nowhere yet.
void SceneHistory::Record(const SceneEdit& edit)
{
    const std::shared_ptr<HistoryPlace> before = CurrentPlace();
    auto after = std::make_shared<HistoryPlace>(
        HistoryPlace{.File = before->File, .Serial = ++lastSerial_, .Title = {}});
    stack_.push(new SceneStep(editor_, edit, before, std::move(after)));
    FileChanged();
}

// The place after the last step done, which is also the one before the next step to redo.
const std::shared_ptr<HistoryPlace>& SceneHistory::CurrentPlace() const
{
    const int index = stack_.index();
    if (index > 0)
    {
        return StepAt(stack_, index - 1).PlaceAfter();
    }
    return stack_.count() > 0 ? StepAt(stack_, 0).PlaceBefore() : start_;
}

const QString& SceneHistory::FilePath() const
{
    return CurrentPlace()->File;
}

bool SceneHistory::Modified() const
{
    const HistoryPlace& place = *CurrentPlace();
    const auto holds = fileHolds_.constFind(place.File);
    return holds == fileHolds_.cend() || *holds != place.Serial;
}

void SceneHistory::FileHolds(const QString& path)
{
    HistoryPlace& place = *CurrentPlace();
    place.File = path;
    fileHolds_[path] = place.Serial;
    FileChanged();
}

void SceneHistory::FileIs(const QString& path)
{
    CurrentPlace()->File = path;
    FileChanged();
}

void SceneHistory::NameScene(const QString& title)
{
    HistoryPlace& place = *CurrentPlace();
    place.File.clear();
    place.Title = title;
    FileChanged();
}

const QString& SceneHistory::Title() const
{
    return CurrentPlace()->Title;
}

void SceneHistory::FileChanged() const
{
    if (fileListener_)
    {
        fileListener_();
    }
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
