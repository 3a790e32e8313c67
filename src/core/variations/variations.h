#pragma once

#include <array>
#include <cstdint>

#include "core/scene/scene_state.h"

namespace ramifex
{

// How far a variation strays from its scene.
enum class VariationStrength
{
    Subtle,
    Medium,
    Wild,
};

inline constexpr int VariationCount = 8;

// Eight variations of a scene, the same for the same scene, strength and seed: every field of the
// two branch records and the base record's colour move by a random amount that the strength
// scales, kept within the ranges that the panel's sliders show (angles within -180..180, axis
// components within -1..1, scale and colour ratio within 0..1, offset within -10..10, colours
// within 0..1). The depth, the view offset and the base record's turn stay, so each is seen as
// the scene is.
std::array<SceneState, VariationCount> MakeVariations(const SceneState& scene,
                                                      VariationStrength strength, uint32_t seed);

}  // namespace ramifex
