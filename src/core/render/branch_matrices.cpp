#include "core/render/branch_matrices.h"

namespace ramifex
{

Matrix4 BranchMatrix(const BranchParams& record)
{
    Matrix4 m = Matrix4::Identity();
    Rotate(m, record.Angle, record.Axis[0], record.Axis[1], record.Axis[2]);
    Scale(m, record.Scale, record.Scale, record.Scale);
    Translate(m, 0.0, 0.0, record.Offset);
    return m;
}

std::array<Matrix4, 2> BranchMatrices(const SceneState& scene)
{
    return {BranchMatrix(scene.Records[Branch1Record]), BranchMatrix(scene.Records[Branch2Record])};
}

}  // namespace ramifex
