#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

#include "io/video/video_output.h"

namespace ramifex
{

// The checks an output passes before anything long begins, the same from the command line and
// from the windows: each says why the output cannot be made, and is empty (or gives what was
// asked for) when it can.

// Frames numbered from 0; both ends are in the range.
struct FrameRange
{
    int64_t First = 0;
    int64_t Last = 0;
};

// A picture: a .png name in a folder that exists, not over a folder, a pipe or a device.
QString PictureOutputProblem(const QString& path);
// A geometry file: a .glb, .ply, .stl, .obj or .vtp name, and the same.
QString GeometryOutputProblem(const QString& path);
// A video (.mp4, .webm) or numbered pictures (DIR/%05d.png): the format the name asks for, and a
// folder that exists with no folder, pipe or device where the file goes.
std::optional<VideoFormat> VideoOutputFormat(const QString& path, QString* error);

// Whether a picture of `size` at `samples` x `samples` samples can be drawn where `largest` is
// the largest picture (LargestOffscreenPicture).
QString SampledSizeProblem(const QSize& size, int32_t samples, const QSize& largest);
// The size a video in this format is written at: even sides for a video file (yuv420p keeps one
// colour sample for every two by two pixels), any size for numbered pictures. None, with *error
// saying why, when no video can be that small.
std::optional<QSize> VideoSizeFor(VideoFormat format, const QSize& size, QString* error);
// Whether the frames are frames of an animation of `count` frames at `fps` per second.
QString FrameRangeProblem(const FrameRange& frames, int64_t count, int32_t fps);
// For what a job wrote: "out/tree.png: " and, after the details, the file's size ("412 KB").
QString WrittenName(const QString& path);
QString FileSizeText(const QString& path);
// "640 × 480 pixels".
QString PixelsText(const QSize& size);

// Whether this FFmpeg can write the format.
QString EncoderProblem(VideoFormat format);

}  // namespace ramifex
