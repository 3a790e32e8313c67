#pragma once

#include <cstddef>
#include <vector>

#include "core/render/matrix4.h"
#include "core/scene/scene_state.h"
#include "gl/picture/sphere_batch.h"

namespace ramifex::bench
{

// What this machine's GL can do with the picture of one complete walk: every node's sphere,
// transformed on the CPU beforehand exactly as the viewer's batches transform it, drawn in large
// batches from buffer objects with the colour per point. No walk, no transforming and no per-sphere
// state change remain in what is measured. Needs the viewer's context current.
class BoundDrawing
{
public:
    // Records the spheres of one complete walk of the scene and transforms them.
    explicit BoundDrawing(const SceneState& scene);
    ~BoundDrawing();
    BoundDrawing(const BoundDrawing&) = delete;
    BoundDrawing& operator=(const BoundDrawing&) = delete;

    size_t Spheres() const { return spheres_; }
    bool Finished() const { return nextBatch_ == batchSpheres_.size(); }
    // Moves the transformed spheres into buffer objects (not part of what is measured).
    void Upload();
    // Draws batches until the budget is spent or all are drawn. The caller clears and presents.
    void DrawFor(double budgetMs);

private:
    void AddSphere(const Matrix4& node, const Vec3& colour);
    void KeepBatch();

    Matrix4 view_;
    size_t spheres_ = 0;
    SphereBatch batch_;
    std::vector<float> points_;  // every batch's points, one after the other
    std::vector<size_t> batchSpheres_;
    std::vector<unsigned> buffers_;
    unsigned indexBuffer_ = 0;
    size_t nextBatch_ = 0;
};

}  // namespace ramifex::bench
