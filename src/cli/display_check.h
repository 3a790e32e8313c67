#pragma once

namespace ramifex
{

// Whether the environment names a display for the platform Qt would use: QT_QPA_PLATFORM's
// entries, or xcb and wayland when it is unset. Platforms that need no display (offscreen, vnc)
// always pass.
bool DisplayConfigured();

// Whether the running Qt platform shows windows to anyone: the offscreen and minimal platforms
// draw into nothing, so the panel and its message boxes would wait there for good for a user who
// cannot see them.
bool PlatformShowsWindows();

// Catches the toolkit's fatal failure to open a display while the QApplication is constructed:
// prints one line on stderr and exits with a failure status instead of aborting. Other messages
// are held back meanwhile and passed on by EndDisplayGuard(), so a failed start prints just that
// line.
void BeginDisplayGuard();
void EndDisplayGuard();

// The line printed when no display can be opened.
inline constexpr const char* NoDisplayMessage = "ramifex: cannot open a display";

}  // namespace ramifex
