#include "ui/animwindow/keyframe_step.h"

namespace ramifex
{

KeyframeStep::KeyframeStep(const QString& action, State before, State after, int mergeRow,
                           Shower show)
    : QUndoCommand(action),
      before_(std::move(before)),
      after_(std::move(after)),
      mergeRow_(mergeRow),
      show_(std::move(show))
{
}

void KeyframeStep::undo()
{
    show_(before_.Keyframes, before_.Selected);
}

void KeyframeStep::redo()
{
    if (done_)
    {
        show_(after_.Keyframes, after_.Selected);
    }
    done_ = true;
}

bool KeyframeStep::mergeWith(const QUndoCommand* command)
{
    const auto& next = static_cast<const KeyframeStep&>(*command);
    if (next.mergeRow_ != mergeRow_ || next.text() != text())
    {
        return false;
    }
    after_ = next.after_;
    return true;
}

}  // namespace ramifex
