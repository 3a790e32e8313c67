#pragma once

#include "cli/command_line.h"

namespace ramifex
{

// Draws the frames that the request asks for, with no display and no window, and writes them as a
// video or as numbered PNG pictures that carry their scenes. On a terminal, a progress bar on
// standard error shows how far it is. Any failure is told in one line on standard error, and no
// video is then left behind. Returns the exit status. `argv` gives the toolkit the program's name
// alone.
int AnimateWithoutDisplay(const AnimateRequest& request, char** argv);

// Joins numbered PNG pictures, from 0 up to the first number missing, into a video; as above.
int EncodeFrames(const EncodeRequest& request);

}  // namespace ramifex
