#include "io/scenefile/png_text.h"

#define ZLIB_CONST
#include <zlib.h>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QtEndian>
#include <optional>

namespace ramifex
{
namespace
{

constexpr char Signature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype SignatureBytes = 8;
constexpr quint32 MaxChunkLength = 0x7FFFFFFF;
constexpr qsizetype ChecksumBytes = 4;

struct Chunk
{
    quint32 Length = 0;  // of the data, between the type and the checksum
    QByteArray Type;
};

std::optional<Chunk> ReadChunkHeader(QIODevice& png)
{
    const QByteArray header = png.read(8);
    if (header.size() != 8 || qFromBigEndian<quint32>(header.constData()) > MaxChunkLength)
    {
        return std::nullopt;
    }
    return Chunk{qFromBigEndian<quint32>(header.constData()), header.sliced(4)};
}

bool IsText(const QByteArray& type)
{
    return type == "tEXt" || type == "zTXt" || type == "iTXt";
}

// Whether the data of the chunk whose header was just read begins with this keyword.
bool HasKeyword(QIODevice& png, const Chunk& chunk, const QByteArray& keyword)
{
    const QByteArray named = keyword + '\0';
    return chunk.Length >= named.size() && png.peek(named.size()) == named;
}

// The chunk's data when all of it is there and its checksum matches.
std::optional<QByteArray> ReadChunkData(QIODevice& png, const Chunk& chunk)
{
    QByteArray data = png.read(chunk.Length + ChecksumBytes);
    if (data.size() != chunk.Length + ChecksumBytes)
    {
        return std::nullopt;
    }
    const quint32 stored = qFromBigEndian<quint32>(data.constData() + chunk.Length);
    data.truncate(chunk.Length);
    uLong checksum = crc32(0, reinterpret_cast<const Bytef*>(chunk.Type.constData()), 4);
    checksum = crc32(checksum, reinterpret_cast<const Bytef*>(data.constData()), chunk.Length);
    if (checksum != stored)
    {
        return std::nullopt;
    }
    return data;
}

// A zlib stream inflated into at most limit + 1 bytes, so that a small chunk that would inflate
// enormously is refused after that many.
PngText Inflate(QByteArrayView compressed, qsizetype limit)
{
    QByteArray text(limit + 1, Qt::Uninitialized);
    z_stream stream{};
    stream.next_in = reinterpret_cast<const Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(text.data());
    stream.avail_out = static_cast<uInt>(text.size());
    if (inflateInit(&stream) != Z_OK)
    {
        return {PngTextStatus::Damaged, {}};
    }
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    if (result == Z_STREAM_END && stream.avail_out > 0)
    {
        text.truncate(static_cast<qsizetype>(stream.total_out));
        return {PngTextStatus::Found, text};
    }
    return {stream.avail_out == 0 ? PngTextStatus::TooLarge : PngTextStatus::Damaged, {}};
}

// tEXt and zTXt hold Latin-1.
PngText FromLatin1(PngText text)
{
    text.Utf8 = QString::fromLatin1(text.Utf8).toUtf8();
    return text;
}

// The text in a text chunk's data after its keyword. A compression method of 0, the only one there
// is, precedes compressed text.
PngText TextOf(const QByteArray& type, QByteArrayView data, qsizetype limit)
{
    if (type == "tEXt")
    {
        return FromLatin1({PngTextStatus::Found, data.toByteArray()});
    }
    if (type == "zTXt")
    {
        if (data.isEmpty() || data[0] != 0)
        {
            return {PngTextStatus::Damaged, {}};
        }
        return FromLatin1(Inflate(data.sliced(1), limit));
    }
    // iTXt: a compression flag and method, a language tag, a translated keyword, the UTF-8 text.
    const qsizetype language = data.indexOf('\0', 2);
    const qsizetype translated = language < 0 ? -1 : data.indexOf('\0', language + 1);
    if (translated < 0 || (data[0] != 0 && data[1] != 0))
    {
        return {PngTextStatus::Damaged, {}};
    }
    const QByteArrayView text = data.sliced(translated + 1);
    return data[0] != 0 ? Inflate(text, limit) : PngText{PngTextStatus::Found, text.toByteArray()};
}

// The fewest bytes a text chunk holds between its keyword and its text: zTXt's compression method;
// iTXt's compression flag and method and the ends of its language tag and translated keyword.
qsizetype TextHeadBytes(const QByteArray& type)
{
    return type == "tEXt" ? 0 : type == "zTXt" ? 1 : 4;
}

PngText ReadText(QIODevice& png, const Chunk& chunk, qsizetype keywordBytes, qsizetype limit)
{
    if (chunk.Length - keywordBytes - TextHeadBytes(chunk.Type) > limit)
    {
        return {PngTextStatus::TooLarge, {}};
    }
    const std::optional<QByteArray> data = ReadChunkData(png, chunk);
    if (!data)
    {
        return {PngTextStatus::Damaged, {}};
    }
    return TextOf(chunk.Type, QByteArrayView(*data).sliced(keywordBytes), limit);
}

}  // namespace

PngText ReadPngText(QIODevice& png, const QByteArray& keyword, qsizetype limit)
{
    if (png.read(SignatureBytes) != QByteArray(Signature, SignatureBytes))
    {
        return {PngTextStatus::Damaged, {}};
    }
    while (const std::optional<Chunk> chunk = ReadChunkHeader(png))
    {
        if (chunk->Type == "IDAT" || chunk->Type == "IEND")
        {
            return {PngTextStatus::Missing, {}};
        }
        if (IsText(chunk->Type) && HasKeyword(png, *chunk, keyword))
        {
            return ReadText(png, *chunk, keyword.size() + 1, limit);
        }
        if (!png.seek(png.pos() + chunk->Length + ChecksumBytes))
        {
            break;
        }
    }
    return {PngTextStatus::Damaged, {}};
}

}  // namespace ramifex
