#pragma once

#include <array>

namespace ramifex
{

// A 4x4 matrix in OpenGL's column-major layout: row i, column j is at index 4j + i, and the
// translation sits at indices 12, 13 and 14.
struct Matrix4
{
    std::array<double, 16> M{};

    static Matrix4 Identity();
    double At(int row, int column) const { return M[4 * column + row]; }
};

// Each operation post-multiplies (m = m * X) with the matrix that the fixed-function call of the
// same name builds, so X acts on a point before m does. All arithmetic is in double precision.
void SetIdentity(Matrix4& m);
void Translate(Matrix4& m, double x, double y, double z);                    // glTranslated
void Scale(Matrix4& m, double x, double y, double z);                        // glScaled
void Rotate(Matrix4& m, double angleDegrees, double x, double y, double z);  // glRotated
void Multiply(Matrix4& m, const Matrix4& n);                                 // glMultMatrixd

}  // namespace ramifex
