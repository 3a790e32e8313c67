#include "literal_walk.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/render/tree_renderer.h"
#include "gl/viewer/gl_viewer.h"

namespace ramifex::bench
{
namespace
{

// One matrix operation on the current matrix stack: load m, apply the operation, read the result
// back into m. The current matrix and mode are as they were afterwards.
template <typename Operation>
void OnMatrixStack(std::array<double, 16>& m, Operation operation)
{
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glPushMatrix();
    glLoadMatrixd(m.data());
    operation();
    const GLenum query = mode == GL_PROJECTION ? GL_PROJECTION_MATRIX
                         : mode == GL_TEXTURE  ? GL_TEXTURE_MATRIX
                                               : GL_MODELVIEW_MATRIX;
    glGetDoublev(query, m.data());
    glPopMatrix();
}

std::array<double, 16> IdentityMatrix()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

}  // namespace

LiteralWalk::LiteralWalk(SceneState& scene, GlViewer& viewer, MillisecondClock& clock)
    : scene_(scene), viewer_(viewer), clock_(clock)
{
}

void LiteralWalk::FrameTick(bool& redrawRequested)
{
    NormaliseAxis(scene_.Records[Branch1Record].Axis);
    NormaliseAxis(scene_.Records[Branch2Record].Axis);
    if (!WalkFinished())
    {
        WalkStep();
    }
    if (!redrawRequested)
    {
        return;
    }
    viewer_.Clear();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(scene_.ViewOffset[0], scene_.ViewOffset[1], scene_.ViewOffset[2]);
    BranchParams& base = scene_.Records[BaseRecord];
    NormaliseAxis(base.Axis);
    glRotated(base.Angle, base.Axis[0], base.Axis[1], base.Axis[2]);
    redrawRequested = false;
    Restart();
}

void LiteralWalk::Restart()
{
    for (Frame& frame : frames_)
    {
        frame = Frame{0, IdentityMatrix(), scene_.Records[BaseRecord].Colour};
    }
    level_ = 0;
    BuildBranchMatrices();
}

void LiteralWalk::BuildBranchMatrices()
{
    for (int k = 0; k < 2; ++k)
    {
        const BranchParams& b = scene_.Records[Branch1Record + k];
        Matrix& m = branch_[k];
        m = IdentityMatrix();
        OnMatrixStack(m, [&] { glRotated(b.Angle, b.Axis[0], b.Axis[1], b.Axis[2]); });
        OnMatrixStack(m, [&] { glScaled(b.Scale, b.Scale, b.Scale); });
        OnMatrixStack(m, [&] { glTranslated(0.0, 0.0, b.Offset); });
    }
}

void LiteralWalk::WalkStep()
{
    const uint32_t start = clock_.Now();
    int level = level_;
    while (clock_.Now() - start < TickBudget)
    {
        DrawNode(frames_[level]);
        ++level;
        if (level < scene_.Iterations)
        {
            FormChild(level);
        }
        else if (!Backtrack(level))
        {
            level_ = -1;
            viewer_.Present();
            return;
        }
    }
    level_ = level;
    viewer_.Present();
}

void LiteralWalk::DrawNode(const Frame& frame)
{
    glPushMatrix();
    glMultMatrixd(frame.M.data());
    glColor3dv(frame.Colour.data());
    DrawSphere();
    glPopMatrix();
}

void LiteralWalk::DrawSphere()
{
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    sphere_.Draw(colour);
}

void LiteralWalk::FormChild(int level)
{
    const Frame& parent = frames_[level - 1];
    Frame& child = frames_[level];
    const int d = parent.ChildCounter;
    child.M = parent.M;
    OnMatrixStack(child.M, [&] { glMultMatrixd(branch_[d].data()); });
    const BranchParams& record = scene_.Records[Branch1Record + d];
    for (int c = 0; c < 3; ++c)
    {
        child.Colour[c] = parent.Colour[c] + record.Ratio * (record.Colour[c] - parent.Colour[c]);
    }
}

bool LiteralWalk::Backtrack(int& level)
{
    for (;;)
    {
        --level;
        if (level < 0)
        {
            return false;
        }
        int32_t& counter = frames_[level].ChildCounter;
        if (++counter < 2)
        {
            return true;
        }
        counter = 0;
    }
}

}  // namespace ramifex::bench
