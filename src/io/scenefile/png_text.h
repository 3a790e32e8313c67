#pragma once

#include <QByteArray>

class QIODevice;

namespace ramifex
{

// What ReadPngText found.
enum class PngTextStatus
{
    Found,
    Missing,   // no such text chunk before the image data
    TooLarge,  // the text, as stored or uncompressed, is longer than the limit
    Damaged,   // not a PNG, cut short, or the chunk fails its checksum or does not decompress
};

struct PngText
{
    PngTextStatus Status;
    QByteArray Utf8;  // the text when found
};

// The text of the first text chunk (tEXt, zTXt or iTXt) with this keyword that comes before the
// image data of the PNG that `png` reads from its start. Only chunk headers and keywords are read
// on the way, and a text longer than `limit` bytes is refused while no more than `limit` bytes of
// it are held, so whatever a picture carries, reading it costs little memory.
PngText ReadPngText(QIODevice& png, const QByteArray& keyword, qsizetype limit);

}  // namespace ramifex
