#pragma once

#include <QFontMetrics>
#include <QRect>

#include "ui/panel/dialog_template.h"

namespace ramifex
{

// The dialog font's average character width and character height, in pixels: the base of dialog
// units, as the desktop that the layout was drawn for defines them.
struct DialogBaseUnits
{
    int CharWidth = 0;
    int CharHeight = 0;
};

// Average width of "A".."Z" and "a".."z", rounded; height of the font. The metrics are those of
// the widget the controls are drawn on, which know its screen's resolution.
DialogBaseUnits BaseUnitsOf(const QFontMetrics& metrics);

// Dialog units to pixels: x * CharWidth / 4 and y * CharHeight / 8, rounded to nearest. A
// rectangle's corners are converted, and its size follows from them.
int HorizontalPixels(int dialogUnits, const DialogBaseUnits& base);
int VerticalPixels(int dialogUnits, const DialogBaseUnits& base);
QRect ToPixels(const DialogRect& rect, const DialogBaseUnits& base);

}  // namespace ramifex
