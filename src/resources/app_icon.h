#pragma once

#include <QIcon>
#include <QImage>

namespace ramifex
{

// The application's icon: a small binary tree of lit spheres, drawn in code so it scales cleanly
// to every size the desktop asks for.
QImage DrawAppIcon(int size);

// The icon at the usual desktop sizes. Needs a QGuiApplication.
QIcon AppIcon();

}  // namespace ramifex
