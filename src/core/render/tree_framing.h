#pragma once

#include <cstdint>
#include <optional>

#include "core/scene/scene_state.h"

namespace ramifex
{

// The view offset that shows the whole tree of the scene, at its depth, on a picture of width by
// height pixels with about 5% to spare at the nearer sides, the base record's turn unchanged; none
// when the scene holds values that are not finite or the tree cannot fit between the near and far
// planes. The tree is bounded by the spheres of its upper levels, each of the lowest of them
// widened to hold its whole subtree, so the answer comes at once even at depth 30: not the
// tightest framing, but one that leaves no sphere outside the picture.
std::optional<Vec3> FramingViewOffset(const SceneState& scene, int32_t width, int32_t height);

}  // namespace ramifex
