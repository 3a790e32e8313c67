#include "ui/panel/walk_status.h"

#include <cmath>

namespace ramifex
{
namespace
{

// Seconds, minutes or hours, whichever reads best, rounded to a whole number.
QString RoughDuration(double seconds, const QLocale& locale)
{
    if (seconds < 90.0)
    {
        return QStringLiteral("%1 s").arg(locale.toString(std::lround(seconds)));
    }
    if (seconds < 90.0 * 60.0)
    {
        return QStringLiteral("%1 min").arg(locale.toString(std::lround(seconds / 60.0)));
    }
    return QStringLiteral("%1 h").arg(locale.toString(std::lround(seconds / 3600.0)));
}

QString RunningText(const WalkProgress& progress, const QLocale& locale)
{
    // Rounded down, so that 100% means done.
    const auto percent = static_cast<int>(std::floor(progress.Fraction * 100.0));
    if (progress.Stopped)
    {
        return QStringLiteral("Stopped at %1% \u00B7 any change draws again")
            .arg(locale.toString(percent));
    }
    QString text = QStringLiteral("Drawing %1%").arg(locale.toString(percent));
    if (progress.MsLeft)
    {
        text += QStringLiteral(" \u00B7 about %1 left")
                    .arg(RoughDuration(*progress.MsLeft / 1000.0, locale));
    }
    return text;
}

QString FinishedText(const WalkProgress& progress, const QLocale& locale)
{
    const uint64_t drawn = progress.SpheresDrawn;
    const uint64_t leftOut = progress.Nodes > drawn ? progress.Nodes - drawn : 0;
    return QStringLiteral("%1 %2 drawn, %3 left out as unseen \u00B7 %4 s")
        .arg(locale.toString(static_cast<qulonglong>(drawn)),
             drawn == 1 ? QStringLiteral("sphere") : QStringLiteral("spheres"),
             locale.toString(static_cast<qulonglong>(leftOut)),
             locale.toString(progress.ElapsedMs / 1000.0, 'f', 1));
}

}  // namespace

QString WalkStatusText(const WalkProgress& progress, const QLocale& locale)
{
    return progress.Finished ? FinishedText(progress, locale) : RunningText(progress, locale);
}

}  // namespace ramifex
