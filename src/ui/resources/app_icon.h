#pragma once

#include <QIcon>

namespace ramifex
{

// The application's icon, a small binary tree of lit spheres, at the usual desktop sizes. Needs a
// QGuiApplication.
QIcon AppIcon();

}  // namespace ramifex
