#pragma once

#include <QLocale>
#include <QString>

#include "core/render/walk_progress.h"

namespace ramifex
{

// The status line's account of the picture, in the user's locale: "Drawing 37% · about 12 s left"
// while the walk runs ("Drawing 37%" alone until the time left can be trusted), "Stopped at 37%
// · any change draws again" once the user has stopped it, and
// "1,737,243 spheres drawn, 1,072,004,580 left out as unseen · 6.2 s" once it is complete.
QString WalkStatusText(const WalkProgress& progress, const QLocale& locale);

}  // namespace ramifex
