#include "app/frame_loop.h"

#include <QScopedValueRollback>

namespace ramifex
{

FrameLoop::FrameLoop(SceneEditor& editor, TreeRenderer& renderer)
    : editor_(editor), renderer_(renderer)
{
    timer_.setInterval(static_cast<int>(TickBudget));
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
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
    renderer_.FrameTick(editor_.RedrawFlag());
    if (panel_ != nullptr)
    {
        panel_->ShowWalkStatus(renderer_.Progress());
    }
}

}  // namespace ramifex
