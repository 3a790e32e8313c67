#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace ramifex
{

// Where a window's frame of `size` goes on a screen's available area beside `anchor`'s frame:
// just right of it when the screen has room there, else below, left of or above it, else
// wherever it covers least of it; never partly off the screen where it fits on it.
QPoint PlaceBeside(const QRect& screen, const QRect& anchor, const QSize& size);

// A window's geometry (inside its frame) that wants `wanted`, with the frame's `margins`: beside
// `anchor`'s frame where the screen's available area has room for it, shrunk (no smaller than
// `least`) to the room beside it that shows most of it, else shrunk to the screen and covering
// as little of the anchor as it can.
QRect FitBeside(const QRect& screen, const QRect& anchor, const QSize& wanted,
                const QMargins& margins, const QSize& least);

// Shows the window raised and active, brought back if it was minimised. The first time, it is
// sized and placed by FitBeside on the screen of `anchor`, a shown window whose frame margins it
// takes as its own; without an anchor it goes where the desktop puts it.
void ShowBeside(QWidget& window, const QWidget* anchor);

}  // namespace ramifex
