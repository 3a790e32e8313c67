#include <gtest/gtest.h>

#include "ui/placement/window_placement.h"

namespace ramifex
{
namespace
{

// The viewer at the top-left corner, 640 by 480 with its frame; the panel about its real size.
// Where the screen has room the panel sits just right of the viewer; where it has none, it covers
// as little of it as it can, and it is always wholly on the screen.
TEST(PlaceBeside, BesideTheViewerAndOnTheScreen)
{
    const QRect viewer(0, 0, 640, 480);
    const QSize panel(330, 520);
    const struct
    {
        QRect Screen;
        QPoint Place;
    } cases[] = {
        {{0, 0, 1280, 1024}, {640, 0}},
        {{0, 0, 1366, 768}, {640, 0}},
        {{0, 30, 1280, 994}, {640, 30}},  // a bar along the top: the viewer sits below it
        {{0, 0, 800, 600}, {470, 0}},     // no room beside: pushed back onto the screen
    };
    for (const auto& c : cases)
    {
        const QPoint place = PlaceBeside(c.Screen, viewer, panel);
        EXPECT_EQ(place, c.Place) << c.Screen.width() << "x" << c.Screen.height();
        EXPECT_TRUE(c.Screen.contains(QRect(place, panel)));
    }
}

// On a 1366 by 768 screen, a window goes beside the panel, shrunk where the room there is smaller
// than the window, with its frame wholly on the screen.
TEST(FitBeside, ShrinksToTheScreenAndGoesBesideTheAnchor)
{
    const QRect screen(0, 0, 1366, 740);  // a task bar of 28 pixels along the bottom
    const QRect panel(640, 0, 320, 560);
    const QMargins frame(1, 30, 1, 1);
    const struct
    {
        QSize Wanted;
        QRect Geometry;
    } cases[] = {
        {{300, 400}, {961, 30, 300, 400}},  // right of the panel
        {{560, 800}, {79, 30, 560, 709}},   // no room right: left of it, as tall as the screen
        {{2000, 900}, {1, 30, 638, 709}},   // the room left of the panel, the largest beside it
    };
    for (const auto& c : cases)
    {
        const QRect geometry = FitBeside(screen, panel, c.Wanted, frame, {200, 200});
        EXPECT_EQ(geometry, c.Geometry) << c.Wanted.width() << "x" << c.Wanted.height();
        EXPECT_TRUE(screen.contains(geometry.marginsAdded(frame)));
    }
}

}  // namespace
}  // namespace ramifex
