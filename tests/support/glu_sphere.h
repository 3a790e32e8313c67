#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

namespace ramifex::test
{

// The reference sphere that pictures and benchmarks compare the program's drawing with: GLU's
// sphere of radius 1 with 10 slices and 10 stacks in immediate mode, under the current modelview
// matrix, lit with the given diffuse colour on both sides. The quadric is made on first use.
class GluSphere
{
public:
    GluSphere() = default;
    ~GluSphere()
    {
        if (quadric_ != nullptr)
        {
            gluDeleteQuadric(quadric_);
        }
    }
    GluSphere(const GluSphere&) = delete;
    GluSphere& operator=(const GluSphere&) = delete;

    void Draw(const GLfloat diffuse[4])
    {
        if (quadric_ == nullptr)
        {
            quadric_ = gluNewQuadric();
        }
        glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_BACK, GL_DIFFUSE, diffuse);
        gluSphere(quadric_, 1.0, 10, 10);
    }

private:
    GLUquadric* quadric_ = nullptr;
};

}  // namespace ramifex::test
