#include <gtest/gtest.h>

#include "ui/panel/panel_placement.h"

namespace ramifex
{
namespace
{

// The viewer at the top-left corner, 640 by 480 with its frame; the panel about its real size.
// Where the screen has room the panel sits just right of the viewer; where it has none, it covers
// as little of it as it can, and it is always wholly on the screen.
TEST(PanelPlace, BesideTheViewerAndOnTheScreen)
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
        const QPoint place = PanelPlace(c.Screen, viewer, panel);
        EXPECT_EQ(place, c.Place) << c.Screen.width() << "x" << c.Screen.height();
        EXPECT_TRUE(c.Screen.contains(QRect(place, panel)));
    }
}

}  // namespace
}  // namespace ramifex
