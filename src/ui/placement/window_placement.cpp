#include "ui/placement/window_placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>
#include <limits>

namespace ramifex
{
namespace
{

// The frame's top-left moved as little as needed to bring it wholly onto the screen; a frame
// larger than the screen keeps its top-left corner on it.
QPoint OntoScreen(const QRect& screen, QPoint place, const QSize& frame)
{
    place.setX(std::max(screen.left(), std::min(place.x(), screen.right() + 1 - frame.width())));
    place.setY(std::max(screen.top(), std::min(place.y(), screen.bottom() + 1 - frame.height())));
    return place;
}

// Set on a window once it has been placed, so that later showings keep where the user put it.
constexpr char PlacedProperty[] = "ramifexPlaced";

qint64 Overlap(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64{common.width()} * common.height();
}

}  // namespace

QPoint PlaceBeside(const QRect& screen, const QRect& anchor, const QSize& size)
{
    const std::array<QPoint, 4> beside = {QPoint(anchor.right() + 1, anchor.top()),
                                          QPoint(anchor.left(), anchor.bottom() + 1),
                                          QPoint(anchor.left() - size.width(), anchor.top()),
                                          QPoint(anchor.left(), anchor.top() - size.height())};
    QPoint best = OntoScreen(screen, beside[0], size);
    qint64 least = std::numeric_limits<qint64>::max();
    for (const QPoint& wanted : beside)
    {
        const QPoint place = OntoScreen(screen, wanted, size);
        const qint64 covered = Overlap(QRect(place, size), anchor);
        if (covered < least)
        {
            least = covered;
            best = place;
        }
    }
    return best;
}

QRect FitBeside(const QRect& screen, const QRect& anchor, const QSize& wanted,
                const QMargins& margins, const QSize& least)
{
    // The screen right of, below, left of and above the anchor; the window goes in the first that
    // holds it whole, else shrunk into the one that shows most of it.
    const std::array<QRect, 4> rooms = {
        QRect(QPoint(anchor.right() + 1, screen.top()), screen.bottomRight()),
        QRect(QPoint(screen.left(), anchor.bottom() + 1), screen.bottomRight()),
        QRect(screen.topLeft(), QPoint(anchor.left() - 1, screen.bottom())),
        QRect(screen.topLeft(), QPoint(screen.right(), anchor.top() - 1))};
    QRect best;
    for (const QRect& room : rooms)
    {
        const QSize size = wanted.boundedTo(room.intersected(screen).size().shrunkBy(margins));
        if (size.width() >= least.width() && size.height() >= least.height() &&
            qint64{size.width()} * size.height() > qint64{best.width()} * best.height())
        {
            const QPoint frame =
                PlaceBeside(room.intersected(screen), anchor, size.grownBy(margins));
            best = {frame + QPoint(margins.left(), margins.top()), size};
        }
    }
    if (!best.isEmpty())
    {
        return best;
    }
    const QSize room = screen.size().shrunkBy(margins);
    const QSize size = wanted.boundedTo(room);
    const QPoint frame = PlaceBeside(screen, anchor, size.grownBy(margins));
    return {frame + QPoint(margins.left(), margins.top()), size};
}

void ShowBeside(QWidget& window, const QWidget* anchor)
{
    if (anchor != nullptr && anchor->screen() != nullptr &&
        !window.property(PlacedProperty).toBool())
    {
        // The size the window asked for, or the toolkit's choice when it asked for none.
        const QSize wanted =
            window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
        const QRect frame = anchor->frameGeometry();
        const QRect inside = anchor->geometry();
        const QMargins margins(inside.left() - frame.left(), inside.top() - frame.top(),
                               frame.right() - inside.right(), frame.bottom() - inside.bottom());
        window.setGeometry(FitBeside(anchor->screen()->availableGeometry(), frame, wanted, margins,
                                     window.minimumSizeHint()));
        window.setProperty(PlacedProperty, true);
    }
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace ramifex
