#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/navigation/mouse_tracker.h"
#include "support/recording_navigator.h"

namespace ramifex
{
namespace
{

using Calls = std::vector<test::RecordingNavigator::Call>;

TEST(MouseTracker, FirstMoveIsMeasuredFromTheOrigin)
{
    MouseTracker tracker;
    tracker.Update(120, 80);
    EXPECT_EQ(tracker.Dx, 120);
    EXPECT_EQ(tracker.Dy, 80);
    tracker.Update(100, 90);
    EXPECT_EQ(tracker.Dx, -20);
    EXPECT_EQ(tracker.Dy, 10);
    EXPECT_EQ(tracker.LastX, 100);
    EXPECT_EQ(tracker.LastY, 90);
}

TEST(MouseTracker, PositionsOutsideTheWindowStaySigned)
{
    MouseTracker tracker;
    tracker.Update(0, 5);
    tracker.Update(-1, -3);
    EXPECT_EQ(tracker.Dx, -1);
    EXPECT_EQ(tracker.Dy, -8);
    // Extremes wrap as 32-bit values instead of overflowing.
    tracker.Update(std::numeric_limits<int32_t>::max(), 0);
    tracker.Update(std::numeric_limits<int32_t>::min(), 0);
    EXPECT_EQ(tracker.Dx, 1);
}

struct Gesture
{
    int32_t Dx;
    int32_t Dy;
    unsigned Flags;
};

Calls Apply(const Gesture& gesture)
{
    MouseTracker tracker;
    tracker.Update(50, 50);
    tracker.Update(50 + gesture.Dx, 50 + gesture.Dy);
    test::RecordingNavigator navigator;
    Navigate(tracker, gesture.Flags, navigator);
    EXPECT_EQ(navigator.Redraws, 0);
    return navigator.Calls;
}

TEST(Navigate, LeftDragTurnsTheBaseAndShiftTurnsTheCurrentRecord)
{
    EXPECT_EQ(Apply({10, -5, MouseLeftButton}), (Calls{{"RotateBaseRecord", 10, -5}}));
    EXPECT_EQ(Apply({10, -5, MouseLeftButton | MouseShift}),
              (Calls{{"RotateCurrentRecord", 10, -5}}));
    // The left button wins over the right.
    EXPECT_EQ(Apply({3, 4, MouseLeftButton | MouseRightButton}),
              (Calls{{"RotateBaseRecord", 3, 4}}));
    EXPECT_EQ(Apply({3, 4, MouseLeftButton | MouseRightButton | MouseShift}),
              (Calls{{"RotateCurrentRecord", 3, 4}}));
}

TEST(Navigate, RightDragMovesTheViewAHundredPixelsPerUnit)
{
    EXPECT_EQ(Apply({10, -5, MouseRightButton}), (Calls{{"MoveView", 10 * 0.01, -5 * -0.01, 0.0}}));
    EXPECT_EQ(Apply({10, -5, MouseRightButton | MouseShift}),
              (Calls{{"MoveView", 10 * 0.01, 0.0, -5 * 0.01}}));
}

TEST(Navigate, NoButtonOrNoMovementDoesNothing)
{
    for (const Gesture& gesture : {Gesture{10, 5, 0}, Gesture{10, 5, MouseShift | 8u | 16u},
                                   Gesture{0, 0, MouseLeftButton}, Gesture{0, 0, MouseRightButton}})
    {
        EXPECT_TRUE(Apply(gesture).empty());
    }
}

}  // namespace
}  // namespace ramifex
