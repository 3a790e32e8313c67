#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

namespace ramifex
{

// The largest side of a picture that the program draws, and so of a numbered picture that it
// reads back.
inline constexpr int32_t MaxSequencePictureSide = 8192;

// The size of a numbered picture, read from its header; or the picture itself. Only a regular
// file is read, opened without waiting, and only a picture of sides up to MaxSequencePictureSide.
// None, with *error saying why in one sentence, when it cannot be read.
std::optional<QSize> SequencePictureSize(const QString& path, QString* error);
std::optional<QImage> ReadSequencePicture(const QString& path, QString* error);

}  // namespace ramifex
