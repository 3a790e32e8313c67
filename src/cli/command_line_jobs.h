#pragma once

#include <QString>
#include <memory>

#include "cli/command_line.h"

namespace ramifex
{

class Job;

// The job that a request asks for, its scene or animation read and its size checked against the
// largest picture this process can draw; null, with *error saying why, when it cannot be made.
// Needs the toolkit's application object.
std::unique_ptr<Job> JobFor(const JobRequest& request, QString* error);

}  // namespace ramifex
