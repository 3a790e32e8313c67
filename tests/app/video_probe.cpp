// Reads a video back through FFmpeg's libraries and prints what a test checks, on one line:
//   codec=h264 size=640x480 rate=30/1 frames=48 psnr=41.2 colour=1.1 tags=bt709/bt709/bt709
//   index=front
// where psnr compares the first decoded frame, converted back as its colour tags say (as a player
// does), with a PNG picture (in dB over R, G and B), colour their red, green and blue (ColourShift,
// in percent), tags are the colour primaries, transfer and matrix, and index says whether an MP4's
// index (its moov box) comes before its media data (mdat), so that a browser can start playing.
#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace
{

QImage Decoded(const AVFrame& frame)
{
    QImage decoded(frame.width, frame.height, QImage::Format_RGB888);
    SwsContext* scaler = sws_getContext(
        frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
        frame.height, AV_PIX_FMT_RGB24, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    const int* matrix =
        sws_getCoefficients(frame.colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT);
    sws_setColorspaceDetails(scaler, matrix, frame.color_range == AVCOL_RANGE_JPEG, matrix, 1, 0,
                             1 << 16, 1 << 16);
    uint8_t* target[] = {decoded.bits()};
    const int stride[] = {static_cast<int>(decoded.bytesPerLine())};
    sws_scale(scaler, frame.data, frame.linesize, 0, frame.height, target, stride);
    sws_freeContext(scaler);
    return decoded;
}

// "front" or "back" where the file is an MP4 whose top-level boxes hold moov and mdat; "-" else.
const char* IndexPlace(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    const char* place = "-";
    unsigned char box[8];
    while (file != nullptr && std::fread(box, 1, 8, file) == 8)
    {
        const uint32_t size =
            uint32_t{box[0]} << 24 | uint32_t{box[1]} << 16 | uint32_t{box[2]} << 8 | box[3];
        if (std::memcmp(box + 4, "moov", 4) == 0 || std::memcmp(box + 4, "mdat", 4) == 0)
        {
            place = box[4] == 'm' && box[5] == 'o' ? "front" : "back";
            break;
        }
        if (size < 8 || std::fseek(file, size - 8, SEEK_CUR) != 0)
        {
            break;
        }
    }
    if (file != nullptr)
    {
        std::fclose(file);
    }
    return place;
}

double Psnr(const QImage& decoded, const QImage& expected)
{
    double squares = 0.0;
    for (int y = 0; y < decoded.height(); ++y)
    {
        for (int x = 0; x < decoded.width() * 3; ++x)
        {
            const double difference = decoded.constScanLine(y)[x] - expected.constScanLine(y)[x];
            squares += difference * difference;
        }
    }
    const double mean = squares / (decoded.width() * decoded.height() * 3.0);
    return mean == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mean);
}

// Whether the pixel and the four beside it are lit in the picture.
bool Inside(const QImage& picture, int x, int y)
{
    const auto lit = [&](int px, int py)
    {
        const uchar* rgb = picture.constScanLine(py) + 3 * px;
        return *std::max_element(rgb, rgb + 3) >= 32;
    };
    return x > 0 && y > 0 && x + 1 < picture.width() && y + 1 < picture.height() && lit(x, y) &&
           lit(x - 1, y) && lit(x + 1, y) && lit(x, y - 1) && lit(x, y + 1);
}

// How far the decoded picture's red, green or blue strays from the expected one's, summed over
// the pixels inside what the expected picture shows (at its edges the video's halved colour
// resolution blends with the background), in percent of its strongest channel's sum.
double ColourShift(const QImage& decoded, const QImage& expected)
{
    std::array<double, 3> got{};
    std::array<double, 3> wanted{};
    for (int y = 0; y < expected.height(); ++y)
    {
        for (int x = 0; x < expected.width(); ++x)
        {
            if (Inside(expected, x, y))
            {
                for (int c = 0; c < 3; ++c)
                {
                    got[c] += decoded.constScanLine(y)[3 * x + c];
                    wanted[c] += expected.constScanLine(y)[3 * x + c];
                }
            }
        }
    }
    const double brightest = std::max(*std::max_element(wanted.begin(), wanted.end()), 1.0);
    double worst = 0.0;
    for (size_t c = 0; c < 3; ++c)
    {
        worst = std::max(worst, 100.0 * std::abs(got[c] - wanted[c]) / brightest);
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: video_probe VIDEO FRAME0.png\n");
        return 2;
    }
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, argv[1], nullptr, nullptr) < 0 ||
        avformat_find_stream_info(format, nullptr) < 0)
    {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    const AVStream& stream = *format->streams[index];
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, stream.codecpar);
    avcodec_open2(decoder, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int frames = 0;
    double psnr = 0.0;
    double shift = 100.0;
    bool ended = false;
    while (!ended)
    {
        ended = av_read_frame(format, packet) < 0;
        if (!ended && packet->stream_index != index)
        {
            av_packet_unref(packet);
            continue;
        }
        avcodec_send_packet(decoder, ended ? nullptr : packet);
        av_packet_unref(packet);
        while (avcodec_receive_frame(decoder, frame) == 0)
        {
            if (frames++ == 0)
            {
                const QImage decoded = Decoded(*frame);
                const QImage expected =
                    QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB888);
                if (decoded.size() == expected.size())
                {
                    psnr = Psnr(decoded, expected);
                    shift = ColourShift(decoded, expected);
                }
            }
        }
    }
    const AVCodecParameters& video = *stream.codecpar;
    std::printf(
        "codec=%s size=%dx%d rate=%d/%d frames=%d psnr=%.1f colour=%.1f "
        "tags=%s/%s/%s index=%s\n",
        codec->name, video.width, video.height, stream.avg_frame_rate.num,
        stream.avg_frame_rate.den, frames, psnr, shift,
        av_color_primaries_name(video.color_primaries), av_color_transfer_name(video.color_trc),
        av_color_space_name(video.color_space), IndexPlace(argv[1]));
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return 0;
}
