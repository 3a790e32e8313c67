#pragma once

#include "cli/command_line.h"

namespace ramifex
{

// Gathers the spheres that the request asks for, with no display and no window, and writes them
// as the requested file. On a terminal, a progress bar on standard error shows how far it is. Any
// failure is told in one line on standard error, and the output file is then left as it was.
// Returns the exit status. `argv` gives the toolkit the program's name alone.
int ExportGeometryWithoutDisplay(const GeometryRequest& request, char** argv);

}  // namespace ramifex
