#include "io/video/video_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "io/scenefile/scene_file.h"

namespace ramifex
{
namespace
{

struct Encoding
{
    const char* Container;
    const char* Encoder;
    const char* Quality;  // constant-quality factor: lower is better
};

Encoding EncodingOf(VideoFormat format)
{
    return format == VideoFormat::Mp4 ? Encoding{"mp4", "libx264", "18"}
                                      : Encoding{"webm", "libvpx-vp9", "31"};
}

QString AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using PacketBytes = const uint8_t*;
#else
using PacketBytes = uint8_t*;
#endif

// The hidden file that a video is written to until it is finished: made new under a name of its
// own beside the output, so that nothing already there, a link least of all, is ever opened.
class PartialFile
{
public:
    explicit PartialFile(const QString& path) : path_(path) {}
    ~PartialFile() { Discard(); }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // False, with errno saying why, when no new file can be made.
    bool Create()
    {
        const QFileInfo output(path_);
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            const QString tag = QString::number(QRandomGenerator::global()->generate(), 36);
            name_ =
                output.dir().filePath(QStringLiteral(".%1.%2.part").arg(output.fileName(), tag));
            descriptor_ = open(QFile::encodeName(name_).constData(),
                               O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (descriptor_ >= 0 || errno != EEXIST)
            {
                return descriptor_ >= 0;
            }
        }
        return false;
    }

    // Closes the file and gives it the output's name; false, with errno saying why, on failure.
    bool Publish()
    {
        const int descriptor = std::exchange(descriptor_, -1);
        if (close(descriptor) != 0 || std::rename(QFile::encodeName(name_).constData(),
                                                  QFile::encodeName(path_).constData()) != 0)
        {
            return false;
        }
        name_.clear();
        return true;
    }

    // FFmpeg's callbacks, with this as their opaque pointer.
    static int WritePacket(void* opaque, PacketBytes bytes, int size)
    {
        const int descriptor = static_cast<PartialFile*>(opaque)->descriptor_;
        for (int written = 0; written < size;)
        {
            const ssize_t count = write(descriptor, bytes + written, size - written);
            if (count < 0)
            {
                return AVERROR(errno);
            }
            written += static_cast<int>(count);
        }
        return size;
    }
    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        const int descriptor = static_cast<PartialFile*>(opaque)->descriptor_;
        if ((whence & AVSEEK_SIZE) != 0)
        {
            struct stat status = {};
            return fstat(descriptor, &status) == 0 ? status.st_size : AVERROR(errno);
        }
        const off_t position = lseek(descriptor, offset, whence & ~AVSEEK_FORCE);
        return position < 0 ? AVERROR(errno) : position;
    }

    // A reading of the file at a place of its own, for the MP4 muxer's second pass, which moves
    // the index to the front so that a browser can start playing before the whole file is in.
    // FFmpeg would open the file by name for it; it gets this instead.
    static int OpenForReading(AVFormatContext* format, AVIOContext** reader, const char*, int flags,
                              AVDictionary**)
    {
        if ((flags & AVIO_FLAG_WRITE) != 0)
        {
            return AVERROR(EACCES);
        }
        constexpr int bufferSize = 1 << 16;
        auto* buffer = static_cast<unsigned char*>(av_malloc(bufferSize));
        auto* place = new Reading{static_cast<PartialFile*>(format->opaque)->descriptor_, 0};
        *reader = buffer == nullptr
                      ? nullptr
                      : avio_alloc_context(buffer, bufferSize, 0, place, Reading::ReadPacket,
                                           nullptr, Reading::Seek);
        if (*reader == nullptr)
        {
            av_free(buffer);
            delete place;
            return AVERROR(ENOMEM);
        }
        return 0;
    }
    static int CloseReading(AVFormatContext*, AVIOContext* reader)
    {
        if (reader != nullptr)
        {
            delete static_cast<Reading*>(reader->opaque);
            av_freep(&reader->buffer);
            avio_context_free(&reader);
        }
        return 0;
    }

private:
    struct Reading
    {
        int Descriptor;
        int64_t Position;

        static int ReadPacket(void* opaque, uint8_t* bytes, int size)
        {
            auto& reading = *static_cast<Reading*>(opaque);
            const ssize_t count = pread(reading.Descriptor, bytes, size, reading.Position);
            if (count <= 0)
            {
                return count == 0 ? AVERROR_EOF : AVERROR(errno);
            }
            reading.Position += count;
            return static_cast<int>(count);
        }
        static int64_t Seek(void* opaque, int64_t offset, int whence)
        {
            auto& reading = *static_cast<Reading*>(opaque);
            struct stat status = {};
            if (fstat(reading.Descriptor, &status) != 0)
            {
                return AVERROR(errno);
            }
            if ((whence & AVSEEK_SIZE) != 0)
            {
                return status.st_size;
            }
            const int from = whence & ~AVSEEK_FORCE;
            reading.Position = offset + (from == SEEK_CUR   ? reading.Position
                                         : from == SEEK_END ? status.st_size
                                                            : 0);
            return reading.Position;
        }
    };

    // An unpublished file is removed; should its name lead elsewhere by now, only the name goes.
    void Discard()
    {
        if (descriptor_ >= 0)
        {
            close(std::exchange(descriptor_, -1));
        }
        if (!name_.isEmpty())
        {
            unlink(QFile::encodeName(name_).constData());
        }
    }

    QString path_;
    QString name_;
    int descriptor_ = -1;
};

class PngSequenceWriter final : public FrameWriter
{
public:
    explicit PngSequenceWriter(const QString& pattern) : pattern_(pattern) {}

    bool Write(int64_t frame, const QImage& picture, const SceneState& scene,
               QString* error) override
    {
        return WritePictureWithScene(SequenceFrameName(pattern_, frame), picture, scene, error);
    }
    bool Finish(QString*) override { return true; }

private:
    QString pattern_;
};

// FFmpeg's objects, freed whatever state they are in.
struct AvObjects
{
    AVFormatContext* Format = nullptr;
    AVCodecContext* Codec = nullptr;
    AVStream* Stream = nullptr;
    SwsContext* Scaler = nullptr;
    AVFrame* Frame = nullptr;
    AVPacket* Packet = nullptr;

    ~AvObjects()
    {
        av_packet_free(&Packet);
        av_frame_free(&Frame);
        sws_freeContext(Scaler);
        avcodec_free_context(&Codec);
        if (Format != nullptr && Format->pb != nullptr)
        {
            av_freep(&Format->pb->buffer);
            avio_context_free(&Format->pb);
        }
        avformat_free_context(Format);
    }
};

class VideoFileWriter final : public FrameWriter
{
public:
    VideoFileWriter(const QString& path, const QSize& size)
        : path_(path), partial_(path), size_(size)
    {
    }

    bool Open(VideoFormat format, int32_t fps, QString* error)
    {
        av_ = std::make_unique<AvObjects>();
        const Encoding encoding = EncodingOf(format);
        int code =
            avformat_alloc_output_context2(&av_->Format, nullptr, encoding.Container, nullptr);
        const AVCodec* codec = avcodec_find_encoder_by_name(encoding.Encoder);
        if (code < 0 || codec == nullptr)
        {
            return Fail(error, QStringLiteral("FFmpeg has no %1 encoder").arg(encoding.Encoder));
        }
        av_->Codec = avcodec_alloc_context3(codec);
        AVCodecContext& context = *av_->Codec;
        context.width = size_.width();
        context.height = size_.height();
        context.time_base = {1, fps};
        context.framerate = {fps, 1};
        context.pix_fmt = AV_PIX_FMT_YUV420P;
        context.bit_rate = 0;  // the quality factor alone decides
        // The pictures are sRGB, whose primaries are BT.709's; tagged as BT.709 throughout, with
        // the matrix that the scaler converts with, so that players and browsers convert back
        // rather than guess.
        context.color_primaries = AVCOL_PRI_BT709;
        context.color_trc = AVCOL_TRC_BT709;
        context.colorspace = AVCOL_SPC_BT709;
        context.color_range = AVCOL_RANGE_MPEG;
        if ((av_->Format->oformat->flags & AVFMT_GLOBALHEADER) != 0)
        {
            context.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        AVDictionary* options = nullptr;
        av_dict_set(&options, "crf", encoding.Quality, 0);
        if (format == VideoFormat::Mp4)
        {
            // The encoder holds this many frames ahead of the one it writes; its default of 40
            // costs over a megabyte a frame at 640x480 for little gain at a constant quality.
            av_dict_set(&options, "rc-lookahead", "10", 0);
        }
        if (format == VideoFormat::WebM)
        {
            av_dict_set(&options, "row-mt", "1", 0);
            av_dict_set(&options, "cpu-used", "4", 0);
        }
        code = avcodec_open2(&context, codec, &options);
        av_dict_free(&options);
        if (code < 0)
        {
            return Fail(error, QStringLiteral("the %1 encoder cannot start: %2")
                                   .arg(encoding.Encoder, AvError(code)));
        }
        return OpenStream(fps, error);
    }

    bool Write(int64_t, const QImage& picture, const SceneState&, QString* error) override
    {
        const QImage image = picture.convertToFormat(QImage::Format_RGB32);
        if (image.size() != size_)
        {
            return Fail(error, QStringLiteral("a frame is not of the video's size"));
        }
        int code = av_frame_make_writable(av_->Frame);
        if (code < 0)
        {
            return Fail(error, AvError(code));
        }
        const uint8_t* source[] = {image.constBits()};
        const int sourceStride[] = {static_cast<int>(image.bytesPerLine())};
        sws_scale(av_->Scaler, source, sourceStride, 0, image.height(), av_->Frame->data,
                  av_->Frame->linesize);
        av_->Frame->pts = next_++;
        return Encode(av_->Frame, error);
    }

    bool Finish(QString* error) override
    {
        if (!Encode(nullptr, error))
        {
            return false;
        }
        int code = av_write_trailer(av_->Format);
        if (code >= 0)
        {
            avio_flush(av_->Format->pb);
            code = av_->Format->pb->error;
        }
        if (code < 0)
        {
            return Fail(error, AvError(code));
        }
        return partial_.Publish() || Fail(error, qt_error_string(errno));
    }

private:
    bool OpenStream(int32_t fps, QString* error)
    {
        av_->Stream = avformat_new_stream(av_->Format, nullptr);
        av_->Frame = av_frame_alloc();
        av_->Packet = av_packet_alloc();
        if (av_->Stream == nullptr || av_->Frame == nullptr || av_->Packet == nullptr)
        {
            return Fail(error, QStringLiteral("out of memory"));
        }
        avcodec_parameters_from_context(av_->Stream->codecpar, av_->Codec);
        av_->Stream->time_base = av_->Codec->time_base;
        av_->Stream->avg_frame_rate = {fps, 1};
        av_->Frame->format = AV_PIX_FMT_YUV420P;
        av_->Frame->width = size_.width();
        av_->Frame->height = size_.height();
        int code = av_frame_get_buffer(av_->Frame, 0);
        if (code >= 0)
        {
            code = OpenPartialFile();
        }
        if (code >= 0)
        {
            code = WriteHeader();
        }
        if (code < 0)
        {
            return Fail(error, AvError(code));
        }
        // QImage's RGB32 is B, G, R, A in memory on a little-endian machine.
        av_->Scaler = sws_getContext(size_.width(), size_.height(), AV_PIX_FMT_BGRA, size_.width(),
                                     size_.height(), AV_PIX_FMT_YUV420P,
                                     SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
        if (av_->Scaler == nullptr)
        {
            return Fail(error, QStringLiteral("no colour conversion"));
        }
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(av_->Scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
        return true;
    }

    // An MP4 gets its index at the front once every frame is in ("faststart").
    int WriteHeader()
    {
        AVDictionary* options = nullptr;
        if (std::strcmp(av_->Format->oformat->name, "mp4") == 0)
        {
            av_dict_set(&options, "movflags", "+faststart", 0);
        }
        const int code = avformat_write_header(av_->Format, &options);
        av_dict_free(&options);
        return code;
    }

    // FFmpeg writes through the partial file's own descriptor, never opening a path itself.
    int OpenPartialFile()
    {
        if (!partial_.Create())
        {
            return AVERROR(errno);
        }
        constexpr int bufferSize = 1 << 16;
        auto* buffer = static_cast<unsigned char*>(av_malloc(bufferSize));
        av_->Format->pb = buffer == nullptr
                              ? nullptr
                              : avio_alloc_context(buffer, bufferSize, 1, &partial_, nullptr,
                                                   PartialFile::WritePacket, PartialFile::Seek);
        if (av_->Format->pb == nullptr)
        {
            av_free(buffer);
            return AVERROR(ENOMEM);
        }
        av_->Format->opaque = &partial_;
        av_->Format->io_open = PartialFile::OpenForReading;
        av_->Format->io_close2 = PartialFile::CloseReading;
        return 0;
    }

    // Sends a frame (none: the end) and writes every packet the encoder has ready.
    bool Encode(const AVFrame* frame, QString* error)
    {
        int code = avcodec_send_frame(av_->Codec, frame);
        while (code >= 0)
        {
            code = avcodec_receive_packet(av_->Codec, av_->Packet);
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
            {
                return true;
            }
            if (code >= 0)
            {
                av_packet_rescale_ts(av_->Packet, av_->Codec->time_base, av_->Stream->time_base);
                av_->Packet->stream_index = av_->Stream->index;
                code = av_interleaved_write_frame(av_->Format, av_->Packet);
            }
        }
        return Fail(error, AvError(code));
    }

    bool Fail(QString* error, const QString& why)
    {
        *error = QStringLiteral("Cannot write \"%1\": %2.").arg(QFileInfo(path_).fileName(), why);
        return false;
    }

    QString path_;
    PartialFile partial_;  // written until finished, then renamed to path_
    QSize size_;
    std::unique_ptr<AvObjects> av_;  // freed before the partial file, which it writes to
    int64_t next_ = 0;
};

}  // namespace

std::unique_ptr<FrameWriter> FrameWriter::Open(const QString& path, VideoFormat format,
                                               const QSize& size, int32_t fps, QString* error)
{
    if (format == VideoFormat::PngSequence)
    {
        return std::make_unique<PngSequenceWriter>(path);
    }
    // Failures are told in one sentence of ours; FFmpeg's own remarks would clutter the terminal.
    av_log_set_level(AV_LOG_QUIET);
    auto writer = std::make_unique<VideoFileWriter>(path, size);
    if (!writer->Open(format, fps, error))
    {
        return nullptr;
    }
    return writer;
}

bool VideoEncoderAvailable(VideoFormat format, QString* error)
{
    if (format == VideoFormat::PngSequence)
    {
        return true;
    }
    const char* encoder = EncodingOf(format).Encoder;
    if (avcodec_find_encoder_by_name(encoder) != nullptr)
    {
        return true;
    }
    *error = QStringLiteral("this FFmpeg has no %1 encoder").arg(encoder);
    return false;
}

}  // namespace ramifex
