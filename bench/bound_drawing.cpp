#define GL_GLEXT_PROTOTYPES
#include "bound_drawing.h"

#include <chrono>

#include <GL/gl.h>
#include <GL/glext.h>

#include "core/render/complete_walk.h"
#include "core/render/sphere_recorder.h"
#include "support/test_clocks.h"

namespace ramifex::bench
{

BoundDrawing::BoundDrawing(const SceneState& scene)
{
    SphereRecorder spheres;
    test::FrozenClock clock;
    CompleteWalk(scene, spheres, clock).RunToEnd();
    view_ = spheres.View();
    for (const SphereRecorder::Sphere& sphere : spheres.Spheres())
    {
        AddSphere(sphere.Node, sphere.Colour);
    }
    if (!batch_.Empty())
    {
        KeepBatch();
    }
}

BoundDrawing::~BoundDrawing()
{
    if (!buffers_.empty())
    {
        glDeleteBuffers(static_cast<GLsizei>(buffers_.size()), buffers_.data());
        glDeleteBuffers(1, &indexBuffer_);
    }
}

void BoundDrawing::AddSphere(const Matrix4& node, const Vec3& colour)
{
    batch_.Add(node, colour, 0.0);  // the bound draws in batches of the full capacity
    ++spheres_;
    if (batch_.Full())
    {
        KeepBatch();
    }
}

void BoundDrawing::KeepBatch()
{
    points_.insert(points_.end(), batch_.Points(),
                   batch_.Points() + batch_.PointCount() * SphereBatch::FloatsPerPoint);
    batchSpheres_.push_back(batch_.Size());
    batch_.Clear();
}

void BoundDrawing::Upload()
{
    glGenBuffers(1, &indexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(SphereBatch::Capacity * UnitSphere().Indices.size() *
                                         sizeof(uint32_t)),
                 batch_.Indices(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    buffers_.resize(batchSpheres_.size());
    glGenBuffers(static_cast<GLsizei>(buffers_.size()), buffers_.data());
    const size_t floatsPerSphere = UnitSphere().Points.size() * SphereBatch::FloatsPerPoint;
    for (size_t b = 0; b < buffers_.size(); ++b)
    {
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[b]);
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(batchSpheres_[b] * floatsPerSphere * sizeof(float)),
                     points_.data() + b * SphereBatch::Capacity * floatsPerSphere, GL_STATIC_DRAW);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    points_ = {};
}

void BoundDrawing::DrawFor(double budgetMs)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(view_.M.data());
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    const GLsizei stride = SphereBatch::FloatsPerPoint * sizeof(float);
    const auto indicesPerSphere = UnitSphere().Indices.size();
    while (!Finished() &&
           std::chrono::duration<double, std::milli>(Clock::now() - start).count() < budgetMs)
    {
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[nextBatch_]);
        glVertexPointer(3, GL_FLOAT, stride, nullptr);
        glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
        glColorPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(6 * sizeof(float)));
        glDrawElements(GL_TRIANGLES,
                       static_cast<GLsizei>(batchSpheres_[nextBatch_] * indicesPerSphere),
                       GL_UNSIGNED_INT, nullptr);
        glFlush();  // rasterising starts while the next batch is set up
        ++nextBatch_;
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_COLOR_MATERIAL);
}

}  // namespace ramifex::bench
