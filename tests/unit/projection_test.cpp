#include <numbers>

#include <gtest/gtest.h>

#include "core/render/projection.h"

namespace ramifex
{
namespace
{

struct ShapeCase
{
    int32_t Width;
    int32_t Height;
    double Top;
};

// The half-height is height / width rounded to float: 4/3 and 2/3 are not exact.
TEST(FrustumFor, SpansTheWidthAndFollowsTheShapeInSinglePrecision)
{
    for (const ShapeCase& shape :
         {ShapeCase{640, 480, 0.75}, ShapeCase{800, 600, 0.75},
          ShapeCase{480, 640, 1.3333333730697632}, ShapeCase{100, 300, 3.0},
          ShapeCase{300, 200, 0.6666666865348816}})
    {
        EXPECT_EQ(FrustumFor(shape.Width, shape.Height),
                  (Frustum{-1.0, 1.0, -shape.Top, shape.Top, 1.0, 1000.0}))
            << shape.Width << " by " << shape.Height;
    }
}

Matrix4 At(double x, double y, double z, double scale = 1.0)
{
    Matrix4 m = Matrix4::Identity();
    Translate(m, x, y, z);
    Scale(m, scale, scale, scale);
    return m;
}

struct CoverCase
{
    const char* Name;
    Matrix4 View;
    Matrix4 Node;
    int32_t Width;
    double RadiusPixels;  // negative: the whole picture
};

// A unit sphere at distance 10 spans a tenth of the near plane's half-width, 32 of 320 pixels.
TEST(CoveredPixels, IsTheDiscOfTheRadiusOverTheDepthUpToTheWholePicture)
{
    Matrix4 turned = At(0, 0, -10);
    Rotate(turned, 90.0, 0.0, 1.0, 0.0);  // the node's x axis points away from the eye
    const CoverCase cases[] = {
        {"ahead", At(0, 0, -10), Matrix4::Identity(), 640, 32.0},
        {"off-centre, same depth", At(0, 0, -10), At(7, -3, 0), 640, 32.0},
        {"scaled", At(0, 0, -10), At(0, 0, 0, 2.0), 640, 64.0},
        {"nearer", At(0, 0, -10), At(0, 0, 5), 640, 64.0},
        {"depth along the turned view", turned, At(5, 0, 0), 640, 320.0 / 15.0},
        {"half as wide", At(0, 0, -10), Matrix4::Identity(), 320, 16.0},
        {"larger than the picture", At(0, 0, -1.01), Matrix4::Identity(), 640, -1.0},
        {"reaching the eye", At(0, 0, -0.5), Matrix4::Identity(), 640, -1.0},
        {"behind the eye", At(0, 0, 10), Matrix4::Identity(), 640, -1.0},
    };
    for (const CoverCase& c : cases)
    {
        const double whole = c.Width * 480.0;
        const double expected =
            c.RadiusPixels < 0 ? whole : std::numbers::pi * c.RadiusPixels * c.RadiusPixels;
        EXPECT_NEAR(CoveredPixels(c.View, c.Node, c.Width, 480), expected, 1e-9 * expected)
            << c.Name;
    }
}

}  // namespace
}  // namespace ramifex
