#include "render/complete_walk.h"

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

double CompleteWalk::Fraction() const
{
    return redraw_ ? 0.0 : renderer_.Progress().Fraction;
}

}  // namespace ramifex
