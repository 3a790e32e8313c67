#pragma once

#include "cli/command_line.h"

namespace ramifex
{

// Draws the complete picture that the request asks for, with no display and no window, and writes
// it as a PNG that carries the scene (with the requested depth). On a terminal, a progress bar on
// standard error shows how far it is. Any failure is told in one line on standard error, and the
// output file is then left as it was. Returns the exit status. `argv` gives the toolkit the
// program's name alone.
int RenderWithoutDisplay(const RenderRequest& request, char** argv);

}  // namespace ramifex
