#include "core/render/complete_walk.h"

namespace ramifex
{

CompleteWalk::CompleteWalk(const SceneState& scene, DrawSurface& surface, MillisecondClock& clock)
    : scene_(scene), renderer_(scene_, surface, clock)
{
}

bool CompleteWalk::Tick()
{
    renderer_.FrameTick(redraw_);
    return Complete();
}

bool CompleteWalk::RunToEnd(const std::function<bool()>& afterTick)
{
    for (;;)
    {
        const bool drew = !redraw_;
        const bool complete = Tick();
        if (drew && afterTick && !afterTick())
        {
            return complete;
        }
        if (complete)
        {
            return true;
        }
    }
}

double CompleteWalk::Fraction() const
{
    return redraw_ ? 0.0 : renderer_.Progress().Fraction;
}

}  // namespace ramifex
