#pragma once

#include <array>

#include "core/render/matrix4.h"
#include "core/scene/scene_state.h"

namespace ramifex
{

// The branch matrix R(angle, axis) * S(scale) * T(0, 0, offset) of one record.
Matrix4 BranchMatrix(const BranchParams& record);
// Those of the scene's two branch records.
std::array<Matrix4, 2> BranchMatrices(const SceneState& scene);

}  // namespace ramifex
