#pragma once

#include <array>
#include <cstdint>

#include "core/scene/branch_params.h"
#include "core/scene/random_generator.h"

namespace ramifex
{

inline constexpr int MaxDepth = 30;

// Positions of the three records; also the order of the panel's list and of randomization.
enum RecordIndex : int
{
    BaseRecord = 0,
    Branch1Record = 1,
    Branch2Record = 2,
};

// Everything that determines the picture, as plain values that can be copied and compared whole.
// How far a picture of it has been drawn belongs to the renderer, not here.
struct SceneState
{
    std::array<BranchParams, 3> Records{};
    int32_t Iterations = 5;
    Vec3 ViewOffset{0.0, 0.0, -10.0};

    bool operator==(const SceneState&) const = default;
};

// Rescales the axis to unit length in place. A zero, infinite or not-a-number axis becomes
// (1, 0, 0); an axis whose squared length is exactly 1 is left bit for bit as it is; components so
// small or so large that their squares underflow or overflow give the direction they point in.
void NormaliseAxis(Vec3& axis);

// Rewrites every field of all three records from thirty draws of `rng`, base record first.
void RandomizeRecords(SceneState& scene, RandomGenerator& rng);

}  // namespace ramifex
