#pragma once

#include <array>
#include <cstdint>

#include <gtest/gtest.h>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <GL/gl.h>

#include "core/navigation/navigator.h"
#include "core/render/complete_walk.h"
#include "gl/viewer/gl_viewer.h"
#include "gl/viewer/qt_viewer_platform.h"
#include "support/recording_navigator.h"
#include "support/test_clocks.h"

namespace ramifex::test
{

// A viewer opened and on screen, with a navigator that records what the viewer asks of it.
class OpenViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(viewer.Open(navigator));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.Window()));
    }

    RecordingNavigator navigator;
    GlViewer viewer;
};

// A tree that spreads across the picture.
inline SceneState SpreadTree(int32_t iterations = 10)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(9);
    RandomizeRecords(scene, rng);
    scene.Iterations = iterations;
    return scene;
}

inline std::array<double, 16> ReadMatrix(GLenum which)
{
    std::array<double, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

// The matrix glFrustum multiplies by, in double precision.
inline std::array<double, 16> FrustumMatrix(double l, double r, double b, double t, double n,
                                            double f)
{
    return {2 * n / (r - l),
            0,
            0,
            0,  //
            0,
            2 * n / (t - b),
            0,
            0,  //
            (r + l) / (r - l),
            (t + b) / (t - b),
            -(f + n) / (f - n),
            -1,  //
            0,
            0,
            -2 * f * n / (f - n),
            0};
}

// GL keeps matrices in single precision.
template <typename A, typename B>
void ExpectMatrixNear(const A& actual, const B& expected)
{
    for (size_t i = 0; i < 16; ++i)
    {
        EXPECT_NEAR(actual[i], expected[i], 1e-6 * (1.0 + std::abs(double(expected[i]))))
            << "index " << i;
    }
}

inline bool IsBlack(QRgb pixel)
{
    return qRed(pixel) == 0 && qGreen(pixel) == 0 && qBlue(pixel) == 0;
}

inline int CountLit(const QImage& image)
{
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            lit += IsBlack(image.pixel(x, y)) ? 0 : 1;
        }
    }
    return lit;
}

// What the user sees of the window, read from the display.
inline QImage GrabFromScreen(QWindow& window)
{
    return window.screen()
        ->grabWindow(window.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace ramifex::test
