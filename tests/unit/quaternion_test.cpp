#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "core/scene/quaternion.h"

namespace ramifex
{
namespace
{

const double Root2 = std::sqrt(0.5);
const double Root3 = 1.0 / std::sqrt(3.0);

void ExpectSlotsNear(const Quaternion& q, double w, double x, double y, double z,
                     double tolerance = 1e-12)
{
    EXPECT_NEAR(q.Slots()[0], w, tolerance);
    EXPECT_NEAR(q.Slots()[1], x, tolerance);
    EXPECT_NEAR(q.Slots()[2], y, tolerance);
    EXPECT_NEAR(q.Slots()[3], z, tolerance);
}

BranchParams Record(double angle, Vec3 axis)
{
    BranchParams record;
    record.Angle = angle;
    record.Axis = axis;
    return record;
}

void ExpectRecordNear(const BranchParams& record, double angle, Vec3 axis, double tolerance = 1e-9)
{
    EXPECT_NEAR(record.Angle, angle, tolerance);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_NEAR(record.Axis[i], axis[i], tolerance) << "axis component " << i;
    }
}

TEST(Quaternion, PreMultiplyPutsTheOtherOperandOnTheLeft)
{
    Quaternion aboutX;
    aboutX.Set(Root2, Root2, 0, 0);
    Quaternion aboutY;
    aboutY.Set(Root2, 0, Root2, 0);
    aboutX.PreMultiply(aboutY);  // aboutY ⊗ aboutX
    ExpectSlotsNear(aboutX, 0.5, 0.5, 0.5, -0.5);

    aboutY.Set(Root2, 0, Root2, 0);
    Quaternion other;
    other.Set(Root2, Root2, 0, 0);
    aboutY.PreMultiply(other);  // the opposite order
    ExpectSlotsNear(aboutY, 0.5, 0.5, 0.5, 0.5);

    // Every term in play: (5 + 6i + 7j + 8k)(1 + 2i + 3j + 4k).
    Quaternion a;
    a.Set(1, 2, 3, 4);
    Quaternion b;
    b.Set(5, 6, 7, 8);
    a.PreMultiply(b);
    EXPECT_EQ(a.Slots(), (std::array<double, 4>{-60, 20, 14, 32}));
}

TEST(Quaternion, FromAngleAxisUsesHalfTheAngle)
{
    Quaternion q;
    q.Set(180, 0, 0, 1);
    q.FromAngleAxis();
    EXPECT_NE(q.Slots()[0], 0.0);  // cos(pi/2) rounds to about 6.1e-17
    EXPECT_NEAR(q.Slots()[0], 6.123233995736766e-17, 1e-30);
    ExpectSlotsNear(q, 0, 0, 0, 1);

    q.Set(0, 0.3, -0.4, 5);
    q.FromAngleAxis();
    EXPECT_EQ(q.Slots(), (std::array<double, 4>{1, 0, 0, 0}));
}

TEST(Quaternion, ToAngleAxisRecoversAngleAndUnitAxis)
{
    Quaternion q;
    q.Set(0.5, 0.5, 0.5, -0.5);
    q.ToAngleAxis();
    ExpectSlotsNear(q, 120, Root3, Root3, -Root3);
}

TEST(Quaternion, ToAngleAxisGivesZerosWhereNoAxisExists)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double w : {1.0, 1.5, -7.0, nan})
    {
        Quaternion q;
        q.Set(w, 0.1, 0.2, 0.3);
        q.ToAngleAxis();
        EXPECT_EQ(q.Slots(), (std::array<double, 4>{0, 0, 0, 0})) << "w = " << w;
    }
}

TEST(Quaternion, NormAndNormalise)
{
    Quaternion q;
    q.Set(1, 2, 2, 4);
    EXPECT_DOUBLE_EQ(q.Norm(), 5.0);
    q.Normalise();
    ExpectSlotsNear(q, 0.2, 0.4, 0.4, 0.8);

    q.Set(0, 0, 0, 0);
    q.Normalise();
    for (double slot : q.Slots())
    {
        EXPECT_TRUE(std::isnan(slot));
    }
}

TEST(RotateByDrag, TurnsAboutTheScreenAxisAtRightAnglesToTheDrag)
{
    struct Case
    {
        int dx, dy;
        double angle;
        Vec3 axis;
    };
    const Case cases[] = {
        {90, 0, 90, {0, 1, 0}},    // to the right: about +y
        {0, 90, 90, {1, 0, 0}},    // downward: about +x
        {3, 4, 5, {0.8, 0.6, 0}},  // one degree per pixel of drag length
        {-30, 0, 30, {0, -1, 0}},  // the angle stays positive, the axis flips
    };
    for (const Case& c : cases)
    {
        BranchParams record = Record(0, {1, 0, 0});
        RotateByDrag(c.dx, c.dy, record);
        ExpectRecordNear(record, c.angle, c.axis);
    }
}

TEST(RotateByDrag, AppliesTheDragAfterTheRecordsOwnRotation)
{
    BranchParams record = Record(90, {1, 0, 0});
    RotateByDrag(90, 0, record);
    // The opposite product order would give the axis (1, 1, 1) / sqrt(3).
    ExpectRecordNear(record, 120, {Root3, Root3, -Root3});
}

TEST(RotateByDrag, WrapsAnglesAbove180)
{
    BranchParams record = Record(170, {0, 1, 0});
    RotateByDrag(20, 0, record);
    ExpectRecordNear(record, -170, {0, 1, 0});

    record = Record(179, {0, 1, 0});
    RotateByDrag(1, 0, record);
    EXPECT_GT(record.Angle, 0.0);  // exactly 180 (up to rounding) is not wrapped
    EXPECT_NEAR(record.Angle, 180.0, 1e-9);
}

TEST(RotateByDrag, ExactCancellationLeavesAZeroAxisThatStaysZero)
{
    BranchParams record = Record(-5, {0, 1, 0});
    RotateByDrag(5, 0, record);
    EXPECT_EQ(record.Angle, 0.0);
    EXPECT_EQ(record.Axis, (Vec3{0, 0, 0}));

    RotateByDrag(12, -7, record);
    EXPECT_EQ(record.Angle, 0.0);
    EXPECT_EQ(record.Axis, (Vec3{0, 0, 0}));
}

TEST(RotateByDrag, NormalisesTheRecordAxisWithoutWritingItFirst)
{
    BranchParams record = Record(0, {0, 0, 7});
    RotateByDrag(0, 10, record);
    ExpectRecordNear(record, 10, {1, 0, 0});
}

TEST(RotateByDrag, LeavesScaleOffsetAndColourBitForBit)
{
    BranchParams record = Record(33, {0.2, -0.5, 0.7});
    record.Scale = 0.1;
    record.Offset = -3.3;
    record.Colour = {0.1, 0.2, std::numeric_limits<double>::quiet_NaN()};
    record.Ratio = -0.0;
    BranchParams before = record;
    RotateByDrag(-17, 23, record);
    EXPECT_EQ(std::memcmp(&record.Scale, &before.Scale, sizeof(double) * 6), 0);
}

}  // namespace
}  // namespace ramifex
