#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>
#include <variant>

#include "gl/jobs/geometry_job.h"
#include "gl/jobs/output_checks.h"
#include "gl/jobs/picture_renderer.h"
#include "io/geometry/geometry_file.h"
#include "io/video/video_output.h"

namespace ramifex
{

// --render: the complete picture of a scene, written without any window.
struct RenderRequest
{
    QString Scene;
    QString Output;
    RenderSettings Settings;
};

// --animate and --turntable: the frames of an animation, written without any window as a video or
// as numbered PNG pictures.
struct AnimateRequest
{
    QString Source;                          // an animation, or the scene that a turntable turns
    std::optional<double> TurntableSeconds;  // set for a turntable
    QString Output;
    VideoFormat Format = VideoFormat::Mp4;
    RenderSettings Settings;
    int32_t Fps = 30;
    std::optional<FrameRange> Frames;  // none: all
};

// --encode: numbered PNG pictures joined into a video.
struct EncodeRequest
{
    QString Pictures;  // a pattern such as frames/%05d.png
    QString Output;
    VideoFormat Format = VideoFormat::Mp4;
    int32_t Fps = 30;
    std::optional<FrameRange> Frames;  // none: all from 0
};

// --export-geometry: the spheres of a scene written as a file for other programs.
struct GeometryRequest
{
    QString Scene;
    QString Output;
    GeometrySettings Settings;
    GeometryOptions Options;
};

// A job the command line names, which runs with no display and no window.
using JobRequest = std::variant<RenderRequest, AnimateRequest, EncodeRequest, GeometryRequest>;

// What the command line asks for: the program with a scene to start with (none: as it always
// starts), or a job; or it ends at once, with a text to show or a refusal.
struct CommandLine
{
    QString Scene;
    std::optional<JobRequest> Job;
    bool Quiet = false;  // the job says nothing once it has written
    // --help's or --version's text, for standard output; the program then ends with success.
    QString Shown;
    // Why the arguments cannot be carried out, in one line; the program then ends with a failure.
    QString Refusal;
};

// The text as it may reach a terminal: each control character (an escape sequence's start, a line
// break, a change of writing direction) written as \xHH or \uHHHH, so that a name from a file can
// neither move the cursor nor forge a line.
QString QuotedControls(const QString& text);

// Prints one line on standard error, the program's name and why it failed (QuotedControls);
// returns the exit status of a failure.
int ReportFailure(const QString& why);

// Reads the program's own arguments, and refuses every mistake before anything long begins.
// Needs no display and leaves no application object behind.
CommandLine ReadCommandLine(int argc, char** argv);

}  // namespace ramifex
