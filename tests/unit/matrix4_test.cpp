#include <cmath>

#include <gtest/gtest.h>

#include "core/render/matrix4.h"
#include "core/render/branch_matrices.h"

namespace ramifex
{
namespace
{

void ExpectMatrixNear(const Matrix4& actual, const std::array<double, 16>& expected,
                      double tolerance = 1e-12)
{
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_NEAR(actual.M[i], expected[i], tolerance) << "index " << i;
    }
}

// A matrix with no zero entries, so that every product term counts.
Matrix4 Sample()
{
    Matrix4 m;
    for (int i = 0; i < 16; ++i)
    {
        m.M[i] = i + 1;
    }
    return m;
}

TEST(Matrix4, IdentityHasOnesOnTheDiagonal)
{
    Matrix4 m = Sample();
    SetIdentity(m);
    ExpectMatrixNear(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 0.0);
}

TEST(Matrix4, TranslateAddsTheMappedOffsetToTheLastColumn)
{
    Matrix4 m = Sample();
    Translate(m, 1, 2, 3);
    // column 3 += 1 * column 0 + 2 * column 1 + 3 * column 2
    ExpectMatrixNear(m, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 + 1 + 10 + 27, 14 + 2 + 12 + 30,
                         15 + 3 + 14 + 33, 16 + 4 + 16 + 36});
}

TEST(Matrix4, ScaleMultipliesTheFirstThreeColumns)
{
    Matrix4 m = Sample();
    Scale(m, 2, -1, 0.5);
    ExpectMatrixNear(m, {2, 4, 6, 8, -5, -6, -7, -8, 4.5, 5, 5.5, 6, 13, 14, 15, 16});
}

TEST(Matrix4, MultiplyPostMultiplies)
{
    Matrix4 m = Matrix4::Identity();
    Translate(m, 5, 0, 0);
    Matrix4 n = Matrix4::Identity();
    Scale(n, 2, 2, 2);
    Multiply(m, n);  // scale first, then translate
    ExpectMatrixNear(m, {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 5, 0, 0, 1});

    Matrix4 a = Sample();
    Matrix4 b = Matrix4::Identity();
    Multiply(a, b);
    ExpectMatrixNear(a, Sample().M, 0.0);
}

TEST(Matrix4, RotateMapsXOntoYForAQuarterTurnAboutZ)
{
    Matrix4 m = Matrix4::Identity();
    Rotate(m, 90, 0, 0, 1);
    ExpectMatrixNear(m, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 1e-15);
}

TEST(Matrix4, RotateNormalisesItsAxis)
{
    Matrix4 unit = Matrix4::Identity();
    Rotate(unit, 37, 0.6, 0, 0.8);
    Matrix4 long_ = Matrix4::Identity();
    Rotate(long_, 37, 6, 0, 8);
    ExpectMatrixNear(long_, unit.M, 1e-15);
}

TEST(Matrix4, RotateMatchesTheFixedFunctionFormulaOffAxis)
{
    // glRotated's matrix for 120 degrees about (1, 1, 1) permutes the axes: x -> y -> z -> x.
    Matrix4 m = Matrix4::Identity();
    Rotate(m, 120, 1, 1, 1);
    ExpectMatrixNear(m, {0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1}, 1e-15);
}

TEST(BranchMatrix, RotatesScalesThenTranslates)
{
    BranchParams record;
    record.Angle = 0;
    record.Axis = {1, 0, 0};
    record.Scale = 1;
    record.Offset = 2;
    ExpectMatrixNear(BranchMatrix(record),
                     {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 2, 1}, 0.0);

    record.Angle = 90;
    record.Axis = {0, 0, 1};
    record.Scale = 0.5;
    record.Offset = 4;
    // The offset is along the local z axis, then halved; z is the rotation axis, so it stays.
    ExpectMatrixNear(BranchMatrix(record),
                     {0, 0.5, 0, 0, -0.5, 0, 0, 0, 0, 0, 0.5, 0, 0, 0, 2, 1}, 1e-15);
}

TEST(BranchMatrix, ZeroScaleCollapsesEverythingButTheLastRow)
{
    BranchParams record;
    record.Angle = 45;
    record.Axis = {0, 1, 0};
    record.Scale = 0;
    record.Offset = 7;
    const Matrix4 m = BranchMatrix(record);
    for (int i = 0; i < 15; ++i)
    {
        EXPECT_EQ(m.M[i] + 0.0, 0.0) << "index " << i;
    }
    EXPECT_EQ(m.M[15], 1.0);
}

}  // namespace
}  // namespace ramifex
