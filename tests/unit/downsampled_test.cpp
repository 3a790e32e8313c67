// The arithmetic of the render job's smooth edges, on small pictures made here; no GL context.
#include <QImage>
#include <array>

#include <gtest/gtest.h>

#include "gl/jobs/gl_renderer.h"

namespace ramifex
{
namespace
{

constexpr std::array<int, 3> Levels{100, 37, 200};  // of red, green and blue

// Two blocks of samples x samples side by side. In each, every channel holds its level, raised by
// one in as many of the block's samples (in reading order) as `raised` says.
QImage TwoBlocks(int32_t samples, const std::array<std::array<int, 3>, 2>& raised)
{
    QImage picture(2 * samples, samples, QImage::Format_RGB32);
    for (int32_t block = 0; block < 2; ++block)
    {
        for (int32_t y = 0; y < samples; ++y)
        {
            for (int32_t x = 0; x < samples; ++x)
            {
                const int sample = y * samples + x;
                std::array<int, 3> value = Levels;
                for (size_t c = 0; c < 3; ++c)
                {
                    value[c] += sample < raised[block][c] ? 1 : 0;
                }
                picture.setPixel(block * samples + x, y, qRgb(value[0], value[1], value[2]));
            }
        }
    }
    return picture;
}

// Each pixel is the mean of its block, channel by channel, rounded to the nearest level: with
// fewer than half of the samples a level higher it keeps the level, with more than half it takes
// the higher one.
TEST(Downsampled, EachPixelIsItsBlocksMeanRoundedToTheNearestLevel)
{
    for (int32_t samples = 2; samples <= RenderSettings::MaxSamples; ++samples)
    {
        SCOPED_TRACE(samples);
        const int all = samples * samples;
        const int fewer = (all - 1) / 2;  // 1 of 4, 4 of 9, 7 of 16
        const int more = all / 2 + 1;     // 3 of 4, 5 of 9, 9 of 16
        const QImage picture = TwoBlocks(samples, {{{fewer, more, 0}, {more, fewer, all}}});
        const QImage smooth = Downsampled(picture, samples);
        ASSERT_EQ(smooth.size(), QSize(2, 1));
        EXPECT_EQ(smooth.pixel(0, 0), qRgb(Levels[0], Levels[1] + 1, Levels[2]));
        EXPECT_EQ(smooth.pixel(1, 0), qRgb(Levels[0] + 1, Levels[1], Levels[2] + 1));
    }
    const QImage picture = TwoBlocks(2, {{{1, 2, 3}, {0, 0, 4}}});
    EXPECT_EQ(Downsampled(picture, 1), picture);
}

}  // namespace
}  // namespace ramifex
