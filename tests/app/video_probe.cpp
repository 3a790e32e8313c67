// Reads a video back through FFmpeg's libraries and prints what a test checks, on one line:
//   codec=h264 size=640x480 rate=30/1 frames=48 psnr=41.2 colour=1.1
// where psnr compares the first decoded frame with a PNG picture (in dB over R, G and B), and
// colour their red, green and blue (ColourShift, in percent).
#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
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
    uint8_t* target[] = {decoded.bits()};
    const int stride[] = {static_cast<int>(decoded.bytesPerLine())};
    sws_scale(scaler, frame.data, frame.linesize, 0, frame.height, target, stride);
    sws_freeContext(scaler);
    return decoded;
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
    std::printf("codec=%s size=%dx%d rate=%d/%d frames=%d psnr=%.1f colour=%.1f\n", codec->name,
                stream.codecpar->width, stream.codecpar->height, stream.avg_frame_rate.num,
                stream.avg_frame_rate.den, frames, psnr, shift);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return 0;
}
