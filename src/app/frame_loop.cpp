#include "app/frame_loop.h"

#include <QScopedValueRollback>

namespace ramifex
{

FrameLoop::FrameLoop(SceneEditor& editor, TreeRenderer& renderer, CommandRegistry& commands)
    : editor_(editor), renderer_(renderer), stop_(commands.Action(Command::StopDrawing))
{
    timer_.setInterval(static_cast<int>(TickBudget));
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    stop_.setEnabled(false);
    commands.Bind(Command::StopDrawing, timer_,
                  [this]
                  {
                      stopped_ = true;
                      ShowProgress();
                  });
}

int FrameLoop::Run(ControlPanel& panel)
{
    const QScopedValueRollback running(panel_, &panel);
    panel.Initialise();
    timer_.start();
    const int result = panel.RunModal();
    timer_.stop();
    return result;
}

void FrameLoop::Tick()
{
    stopped_ = stopped_ && !editor_.RedrawRequested();  // any change draws again
    if (!stopped_)
    {
        renderer_.FrameTick(editor_.RedrawFlag());
    }
    ShowProgress();
}

void FrameLoop::ShowProgress()
{
    stop_.setEnabled(!stopped_ && !renderer_.WalkFinished());
    if (panel_ == nullptr)
    {
        return;
    }
    WalkProgress progress = renderer_.Progress();
    progress.Stopped = stopped_ && !progress.Finished;
    panel_->ShowWalkStatus(progress);
}

}  // namespace ramifex
