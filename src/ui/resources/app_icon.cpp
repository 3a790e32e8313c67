#include "ui/resources/app_icon.h"

#include <QPainter>
#include <QRadialGradient>

namespace ramifex
{
namespace
{

// One node of the tree, in units of the icon's side.
struct Sphere
{
    double X;
    double Y;
    double Radius;
    QColor Colour;
};

// Drawn back to front: the leaves first, the root last, as the picture grows from the root.
constexpr Sphere Tree[] = {
    {0.16, 0.20, 0.09, QColor(120, 210, 90)},  {0.40, 0.16, 0.09, QColor(150, 220, 80)},
    {0.60, 0.16, 0.09, QColor(110, 200, 120)}, {0.84, 0.20, 0.09, QColor(170, 225, 70)},
    {0.28, 0.42, 0.13, QColor(70, 170, 80)},   {0.72, 0.42, 0.13, QColor(90, 180, 70)},
    {0.50, 0.74, 0.20, QColor(235, 235, 235)},
};

void DrawLitSphere(QPainter& painter, const Sphere& sphere, int size)
{
    const QPointF centre(sphere.X * size, sphere.Y * size);
    const double radius = sphere.Radius * size;
    // Light from the upper left, as in the viewer; the far side fades to black.
    const QPointF highlight = centre + QPointF(-0.4 * radius, -0.4 * radius);
    QRadialGradient shading(centre, radius, highlight);
    shading.setColorAt(0.0, sphere.Colour.lighter(160));
    shading.setColorAt(0.5, sphere.Colour);
    shading.setColorAt(1.0, sphere.Colour.darker(400));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shading);
    painter.drawEllipse(centre, radius, radius);
}

// A small binary tree of lit spheres, drawn in code so it scales cleanly to every size the
// desktop asks for.
QImage DrawAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Sphere& sphere : Tree)
    {
        DrawLitSphere(painter, sphere, size);
    }
    return image;
}

}  // namespace

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
    {
        icon.addPixmap(QPixmap::fromImage(DrawAppIcon(size)));
    }
    return icon;
}

}  // namespace ramifex
