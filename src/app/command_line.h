#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

#include "geometry/geometry_file.h"
#include "renderjob/geometry_job.h"

namespace ramifex
{

// What --render asks for: the complete picture of a scene, written without any window.
struct RenderRequest
{
    QString Scene;
    QString Output;
    QSize Size{640, 480};          // the viewer's drawing area when it opens
    std::optional<int32_t> Depth;  // none: the scene's own iteration count
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
// starts), or a picture drawn without a window.
struct CommandLine
{
    QString Scene;
    std::optional<RenderRequest> Render;
    std::optional<GeometryRequest> Geometry;
};

// Prints one line on standard error, the program's name and why it failed; returns the exit status
// of a failure.
int ReportFailure(const QString& why);

// Reads the program's own arguments. --help and --version print their text and end the program;
// a mistake prints one line on standard error and ends it with a failure status. Needs no display
// and leaves no application object behind.
CommandLine ReadCommandLine(int argc, char** argv);

}  // namespace ramifex
