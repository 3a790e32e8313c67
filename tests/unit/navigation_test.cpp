#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "viewer/mouse_tracker.h"

namespace ramifex
{
namespace
{

class RecordingNavigator final : public Navigator
{
public:
    void RotateCurrentRecord(int32_t dx, int32_t dy) override
    {
        Calls.push_back("current " + std::to_string(dx) + " " + std::to_string(dy));
    }
    void RotateBaseRecord(int32_t dx, int32_t dy) override
    {
        Calls.push_back("base " + std::to_string(dx) + " " + std::to_string(dy));
    }
    void MoveView(double x, double y, double z) override { Moves.push_back({x, y, z}); }
    void Zoom(double) override {}
    void RequestRedraw() override { Calls.push_back("redraw"); }
    void BeginGesture() override {}
    void EndGesture() override {}

    std::vector<std::string> Calls;
    std::vector<std::array<double, 3>> Moves;
};

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

RecordingNavigator Apply(const Gesture& gesture)
{
    MouseTracker tracker;
    tracker.Update(50, 50);
    tracker.Update(50 + gesture.Dx, 50 + gesture.Dy);
    RecordingNavigator navigator;
    Navigate(tracker, gesture.Flags, navigator);
    return navigator;
}

TEST(Navigate, LeftDragTurnsTheBaseAndShiftTurnsTheCurrentRecord)
{
    EXPECT_EQ(Apply({10, -5, MouseLeftButton}).Calls, std::vector<std::string>{"base 10 -5"});
    EXPECT_EQ(Apply({10, -5, MouseLeftButton | MouseShift}).Calls,
              std::vector<std::string>{"current 10 -5"});
    // The left button wins over the right.
    EXPECT_EQ(Apply({3, 4, MouseLeftButton | MouseRightButton}).Calls,
              std::vector<std::string>{"base 3 4"});
    EXPECT_EQ(Apply({3, 4, MouseLeftButton | MouseRightButton | MouseShift}).Calls,
              std::vector<std::string>{"current 3 4"});
}

TEST(Navigate, RightDragMovesTheViewAHundredPixelsPerUnit)
{
    const RecordingNavigator across = Apply({10, -5, MouseRightButton});
    ASSERT_EQ(across.Moves.size(), 1u);
    EXPECT_EQ(across.Moves[0], (std::array<double, 3>{10 * 0.01, -5 * -0.01, 0.0}));

    const RecordingNavigator nearer = Apply({10, -5, MouseRightButton | MouseShift});
    ASSERT_EQ(nearer.Moves.size(), 1u);
    EXPECT_EQ(nearer.Moves[0], (std::array<double, 3>{10 * 0.01, 0.0, -5 * 0.01}));
    EXPECT_TRUE(nearer.Calls.empty());
}

TEST(Navigate, NoButtonOrNoMovementDoesNothing)
{
    for (const Gesture& gesture : {Gesture{10, 5, 0}, Gesture{10, 5, MouseShift | 8u | 16u},
                                   Gesture{0, 0, MouseLeftButton}, Gesture{0, 0, MouseRightButton}})
    {
        const RecordingNavigator navigator = Apply(gesture);
        EXPECT_TRUE(navigator.Calls.empty());
        EXPECT_TRUE(navigator.Moves.empty());
    }
}

}  // namespace
}  // namespace ramifex
