#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>

#include "core/scene/scene_state.h"
#include "io/video/video_output.h"

namespace ramifex
{

// Writes the frames of an animation, in order, in one of the VideoFormats. A video is written to a
// new hidden file beside the output (.NAME.XXXXXX.part, made where nothing was, never through a
// link) and takes the output's name only when Finish succeeds: a writer that goes unfinished (a
// failure, a cancel) leaves no file behind. A PNG sequence writes each
// frame whole (through QSaveFile), carrying its scene, as --render writes a picture.
class FrameWriter
{
public:
    // Null on failure, with *error saying why in one sentence. `size` is the frames' size; a
    // video's sides must be even (EvenSize).
    static std::unique_ptr<FrameWriter> Open(const QString& path, VideoFormat format,
                                             const QSize& size, int32_t fps, QString* error);
    virtual ~FrameWriter() = default;
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Frame number `frame` (a PNG sequence names its file after it; a video takes frames in turn).
    virtual bool Write(int64_t frame, const QImage& picture, const SceneState& scene,
                       QString* error) = 0;
    // Ends the output; a video gets its name.
    virtual bool Finish(QString* error) = 0;

protected:
    FrameWriter() = default;
};

// The codec behind each video format; empty when this FFmpeg lacks it, with *error saying so.
bool VideoEncoderAvailable(VideoFormat format, QString* error);

}  // namespace ramifex
