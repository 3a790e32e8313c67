#pragma once

#include <QString>
#include <QUndoCommand>
#include <functional>

#include "core/animation/animation.h"

namespace ramifex
{

// One user action on an animation's keyframes, as the Animation window's undo history keeps it:
// the whole animation and the selected row before and after. It is pushed once done, so its first
// redo does nothing. Steps that name one row to merge on, such as typing a keyframe's time, become
// one step while they follow each other.
class KeyframeStep final : public QUndoCommand
{
public:
    // Shows an animation with a row selected (-1 for none).
    using Shower = std::function<void(const Animation& animation, int selected)>;
    struct State
    {
        Animation Keyframes;
        int Selected = -1;
    };

    KeyframeStep(const QString& action, State before, State after, int mergeRow, Shower show);

    void undo() override;
    void redo() override;
    int id() const override { return mergeRow_ >= 0 ? 1 : -1; }
    bool mergeWith(const QUndoCommand* command) override;

private:
    State before_;
    State after_;
    int mergeRow_;
    Shower show_;
    bool done_ = false;
};

}  // namespace ramifex
