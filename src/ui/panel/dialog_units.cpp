#include "ui/panel/dialog_units.h"

namespace ramifex
{
namespace
{

// n * numerator / denominator rounded to nearest, as the desktop's MulDiv does.
int ScaleRounded(int n, int numerator, int denominator)
{
    const long long product = static_cast<long long>(n) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

DialogBaseUnits BaseUnitsOf(const QFontMetrics& metrics)
{
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters + 26) / 52, metrics.height()};
}

int HorizontalPixels(int dialogUnits, const DialogBaseUnits& base)
{
    return ScaleRounded(dialogUnits, base.CharWidth, 4);
}

int VerticalPixels(int dialogUnits, const DialogBaseUnits& base)
{
    return ScaleRounded(dialogUnits, base.CharHeight, 8);
}

QRect ToPixels(const DialogRect& rect, const DialogBaseUnits& base)
{
    // Corners are mapped, not sizes, so neighbouring controls meet as they do in dialog units.
    const QPoint topLeft(HorizontalPixels(rect.X, base), VerticalPixels(rect.Y, base));
    const QPoint bottomRight(HorizontalPixels(rect.X + rect.Width, base),
                             VerticalPixels(rect.Y + rect.Height, base));
    return {topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y())};
}

}  // namespace ramifex
