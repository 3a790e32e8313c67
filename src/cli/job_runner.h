#pragma once

#include "cli/command_line.h"

namespace ramifex
{

class Job;

// Runs a job to its end with no window: starts it, ticks it with a progress bar on standard
// error when that is a terminal, and writes it. Ctrl-C (SIGINT), SIGTERM, SIGHUP (the terminal
// closed), SIGQUIT and SIGPIPE stop it between two slices, leaving any earlier output as it was
// and no partial file; Ctrl-Z (SIGTSTP) suspends it as usual. Every
// failure is told in one line on standard error; what was written, unless `quiet`, in one line on
// standard output. Returns the exit status: 128 plus the signal's
// number when one stopped the job, as shells report a process that the signal ended. Needs the
// toolkit's platform up: the headless platform installs handlers for these signals that act only
// from an event loop, which a job here does not run; their default actions come back at the end.
int RunJob(Job& job, bool quiet = false);

// Brings up the toolkit's headless platform with its remarks held back, makes the job that the
// request asks for and runs it. `argv` gives the toolkit the program's name alone.
int RunWithoutDisplay(const JobRequest& request, bool quiet, char** argv);

}  // namespace ramifex
