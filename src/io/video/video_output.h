#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace ramifex
{

// What an output path asks for: a video file, or a numbered PNG for every frame.
enum class VideoFormat
{
    Mp4,          // H.264 in yuv420p at a constant quality
    WebM,         // VP9 in yuv420p at a constant quality
    PngSequence,  // DIR/%05d.png: the pattern holds one %d, with or without a zero-padded width
};

// The format that the path's name asks for, or nothing with *error saying why not.
std::optional<VideoFormat> VideoFormatOf(const QString& path, QString* error);

// The name of frame `frame` of a PNG sequence's pattern.
QString SequenceFrameName(const QString& pattern, int64_t frame);

// The numbers of the pictures of a pattern such as frames/%05d.png (its number in the file's name)
// that its folder holds, in order: those whose names SequenceFrameName gives, whatever kind of file
// each is.
std::vector<int64_t> SequenceNumbers(const QString& pattern);

// yuv420p keeps one colour sample for every two by two pixels, so a video's sides are even: the
// size a video of `size` gets (one pixel less on an odd side).
QSize EvenSize(const QSize& size);

}  // namespace ramifex
