#include "ui/panel/panel_placement.h"

#include <algorithm>
#include <array>
#include <limits>

namespace ramifex
{
namespace
{

// The panel's top-left moved as little as needed to bring it wholly onto the screen; a panel
// larger than the screen keeps its top-left corner on it.
QPoint OntoScreen(const QRect& screen, QPoint place, const QSize& panel)
{
    place.setX(std::max(screen.left(), std::min(place.x(), screen.right() + 1 - panel.width())));
    place.setY(std::max(screen.top(), std::min(place.y(), screen.bottom() + 1 - panel.height())));
    return place;
}

qint64 Overlap(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64{common.width()} * common.height();
}

}  // namespace

QPoint PanelPlace(const QRect& screen, const QRect& viewer, const QSize& panel)
{
    const std::array<QPoint, 4> beside = {QPoint(viewer.right() + 1, viewer.top()),
                                          QPoint(viewer.left(), viewer.bottom() + 1),
                                          QPoint(viewer.left() - panel.width(), viewer.top()),
                                          QPoint(viewer.left(), viewer.top() - panel.height())};
    QPoint best = OntoScreen(screen, beside[0], panel);
    qint64 least = std::numeric_limits<qint64>::max();
    for (const QPoint& wanted : beside)
    {
        const QPoint place = OntoScreen(screen, wanted, panel);
        const qint64 covered = Overlap(QRect(place, panel), viewer);
        if (covered < least)
        {
            least = covered;
            best = place;
        }
    }
    return best;
}

}  // namespace ramifex
