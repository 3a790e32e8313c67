#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace ramifex
{

// Where the panel's frame goes at start, on a screen's available area beside the viewer's frame:
// just right of the viewer when the screen has room there, else below, left of or above it,
// else wherever it covers least of the viewer; never partly off the screen where it fits on it.
QPoint PanelPlace(const QRect& screen, const QRect& viewer, const QSize& panel);

}  // namespace ramifex
