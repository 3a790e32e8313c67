#pragma once

#include <QWidget>
#include <span>

#include "ui/panel/dialog_template.h"
#include "ui/panel/dialog_units.h"

namespace ramifex
{

// A control of the template and the rectangle it is given, in dialog units.
struct PlacedControl
{
    QWidget* Widget = nullptr;
    DialogRect Rect;
};

// The pixels a control needs across to show its caption whole, with the room its style keeps
// around the caption and a gap before whatever follows a static text; 0 for one without a caption.
int CaptionWidthNeeded(const QWidget& control);

// The font's base units, widened only as far as needed for every caption to fit its control and
// for `width` dialog units to hold `leastWidth` pixels (the menu bar's menus): fonts wider than
// the layout was drawn for keep every caption whole.
DialogBaseUnits FittingBaseUnits(const DialogBaseUnits& font,
                                 std::span<const PlacedControl> controls, int width,
                                 int leastWidth);

}  // namespace ramifex
