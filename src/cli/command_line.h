#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

#include "gl/jobs/geometry_job.h"
#include "io/geometry/geometry_file.h"
#include "io/video/video_output.h"

namespace ramifex
{

// What --render asks for: the complete picture of a scene, written without any window.
struct RenderRequest
{
    QString Scene;
    QString Output;
    QSize Size{640, 480};          // the viewer's drawing area when it opens
    std::optional<int32_t> Depth;  // none: the scene's own iteration count
    int32_t Samples = 1;           // per side of each pixel
};

// Frames numbered from 0; both ends are in the range.
struct FrameRange
{
    int64_t First = 0;
    int64_t Last = 0;
};

// What --animate and --turntable ask for: the frames of an animation, written without any window
// as a video or as numbered PNG pictures.
struct AnimateRequest
{
    QString Source;                          // an animation, or the scene that a turntable turns
    std::optional<double> TurntableSeconds;  // set for a turntable
    QString Output;
    VideoFormat Format = VideoFormat::Mp4;
    QSize Size{640, 480};
    int32_t Fps = 30;
    std::optional<int32_t> Depth;  // none: each scene's own iteration count
    int32_t Samples = 1;
    std::optional<FrameRange> Frames;  // none: all
};

// What --encode asks for: numbered PNG pictures joined into a video.
struct EncodeRequest
{
    QString Frames;  // a pattern such as frames/%05d.png
    QString Output;
    VideoFormat Format = VideoFormat::Mp4;
    int32_t Fps = 30;
};

// What --export-geometry asks for: the spheres of a scene written as a file for other programs.
struct GeometryRequest
{
    QString Scene;
    QString Output;
    GeometryFormat Format = GeometryFormat::Gltf;
    GeometrySettings Settings;
};

// What the command line asks for: the program with a scene to start with (none: as it always
// starts), a picture or an animation drawn without a window, or pictures joined into a video.
struct CommandLine
{
    QString Scene;
    std::optional<RenderRequest> Render;
    std::optional<GeometryRequest> Geometry;
    std::optional<AnimateRequest> Animate;
    std::optional<EncodeRequest> Encode;
};

// Prints one line on standard error, the program's name and why it failed; returns the exit status
// of a failure.
int ReportFailure(const QString& why);

// Reads the program's own arguments. --help and --version print their text and end the program;
// a mistake prints one line on standard error and ends it with a failure status. Needs no display
// and leaves no application object behind.
CommandLine ReadCommandLine(int argc, char** argv);

}  // namespace ramifex
