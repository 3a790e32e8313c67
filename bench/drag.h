#pragma once

#include <cstdint>

namespace ramifex
{

class GlViewer;

namespace bench
{

// The wide flat tree at depth 30 turned by the mouse: the base record turns and the walk restarts
// at every one of `ticks` ticks. Prints what the presents showed; returns the fewest complete
// levels any tick presented.
int32_t Drag(GlViewer& viewer, int depth, int ticks);

}  // namespace bench
}  // namespace ramifex
