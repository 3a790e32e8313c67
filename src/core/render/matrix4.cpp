#include "core/render/matrix4.h"

#include <cmath>
#include <numbers>

namespace ramifex
{

Matrix4 Matrix4::Identity()
{
    Matrix4 m;
    SetIdentity(m);
    return m;
}

void SetIdentity(Matrix4& m)
{
    m.M = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

void Translate(Matrix4& m, double x, double y, double z)
{
    for (int i = 0; i < 4; ++i)
    {
        m.M[12 + i] += m.M[i] * x + m.M[4 + i] * y + m.M[8 + i] * z;
    }
}

void Scale(Matrix4& m, double x, double y, double z)
{
    for (int i = 0; i < 4; ++i)
    {
        m.M[i] *= x;
        m.M[4 + i] *= y;
        m.M[8 + i] *= z;
    }
}

void Rotate(Matrix4& m, double angleDegrees, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0))
    {
        return;  // no axis to turn about: the rotation is the identity
    }
    x /= length;
    y /= length;
    z /= length;
    const double radians = angleDegrees * (std::numbers::pi / 180.0);
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1.0 - c;
    Matrix4 r;
    // clang-format off
    r.M = {
        x * x * t + c,     y * x * t + z * s, x * z * t - y * s, 0,  // column 0
        x * y * t - z * s, y * y * t + c,     y * z * t + x * s, 0,  // column 1
        x * z * t + y * s, y * z * t - x * s, z * z * t + c,     0,  // column 2
        0,                 0,                 0,                 1,  // column 3
    };
    // clang-format on
    Multiply(m, r);
}

void Multiply(Matrix4& m, const Matrix4& n)
{
    Matrix4 product;
    for (int column = 0; column < 4; ++column)
    {
        for (int row = 0; row < 4; ++row)
        {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
            {
                sum += m.M[4 * k + row] * n.M[4 * column + k];
            }
            product.M[4 * column + row] = sum;
        }
    }
    m = product;
}

}  // namespace ramifex
