#pragma once

#include <functional>

#include "core/scene/scene_state.h"

class QString;

namespace ramifex
{

// Runs a command-line job a slice at a time, with a progress bar on standard error when it is a
// terminal. Ctrl-C (SIGINT) and SIGTERM stop the job between two slices; Ctrl-Z (SIGTSTP) suspends
// it as usual. Made once the toolkit's platform is up: the headless platform installs handlers for
// these signals that act only from an event loop, which a command-line job does not run. The
// signals' default actions come back when it goes.
class CommandLineJob
{
public:
    CommandLineJob();
    ~CommandLineJob();
    CommandLineJob(const CommandLineJob&) = delete;
    CommandLineJob& operator=(const CommandLineJob&) = delete;

    // Calls `slice` until it returns false (the job is done), showing `fraction()` after each
    // call; returns false when a signal stopped the job first.
    bool Run(const std::function<bool()>& slice, const std::function<double()>& fraction);
    // The exit status of a job that a signal stopped: 128 plus the signal's number, as shells
    // report a process that the signal ended.
    int StoppedStatus() const;
};

// Reads the scene file, brings up the toolkit's headless platform with its remarks held back, and
// runs `job` on the scene with a CommandLineJob. A scene that cannot be read is told in one line.
// Returns the exit status `job` returns. `argv` gives the toolkit the program's name alone.
int RunWithoutDisplay(const QString& scenePath, char** argv,
                      const std::function<int(const SceneState&, CommandLineJob&)>& job);

}  // namespace ramifex
