#include "ui/panel/caption_fit.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace ramifex
{
namespace
{

// Text and icon, and the margins, frame and default-button ring the style draws around them.
int ButtonWidthNeeded(const QPushButton& button)
{
    const QStyle& style = *button.style();
    QStyleOptionButton option;
    option.initFrom(&button);
    int width = button.fontMetrics().horizontalAdvance(button.text());
    if (!button.icon().isNull())
    {
        width += button.iconSize().width() + 4;  // the style's gap between icon and text
    }
    width += style.pixelMetric(QStyle::PM_ButtonMargin, &option, &button) +
             2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    if (button.autoDefault())
    {
        width += 2 * style.pixelMetric(QStyle::PM_ButtonDefaultIndicator, &option, &button);
    }
    return width;
}

// A caption that fills its box would touch the control beside it.
int TextWidthNeeded(const QWidget& control, const QString& text)
{
    const QFontMetrics metrics = control.fontMetrics();
    return metrics.horizontalAdvance(text) + metrics.averageCharWidth() / 2;
}

bool AllFit(const DialogBaseUnits& base, std::span<const PlacedControl> controls)
{
    return std::ranges::all_of(
        controls, [&base](const PlacedControl& placed)
        { return ToPixels(placed.Rect, base).width() >= CaptionWidthNeeded(*placed.Widget); });
}

}  // namespace

int CaptionWidthNeeded(const QWidget& control)
{
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
    {
        return ButtonWidthNeeded(*button);
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control))
    {
        return TextWidthNeeded(control, label->text());
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
    {
        // The title is set in from the frame's corner on both sides.
        return TextWidthNeeded(control, group->title()) + 2 * control.fontMetrics().height();
    }
    return 0;
}

DialogBaseUnits FittingBaseUnits(const DialogBaseUnits& font,
                                 std::span<const PlacedControl> controls, int width, int leastWidth)
{
    DialogBaseUnits base = font;
    while (HorizontalPixels(width, base) < leastWidth || !AllFit(base, controls))
    {
        ++base.CharWidth;
    }
    return base;
}

}  // namespace ramifex
