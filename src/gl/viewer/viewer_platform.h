#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QRect>
#include <QString>
#include <QSurfaceFormat>

class QOpenGLContext;
class QWindow;

namespace ramifex
{

// The icon of a message box.
enum class MessageIcon
{
    None,
    Warning,
    Information,
};

// Pixel-format flags of the request the viewer makes.
inline constexpr uint32_t PixelFormatDoubleBuffer = 0x01;
inline constexpr uint32_t PixelFormatDrawToWindow = 0x04;
inline constexpr uint32_t PixelFormatSupportOpenGl = 0x20;

// What the viewer asks of a pixel format: an RGBA format for a window, with OpenGL support, of the
// given colour depth (alpha excluded). No depth bits are named; the platform adds a depth buffer.
struct PixelFormatRequest
{
    uint32_t Flags = 0;
    uint8_t ColourBits = 0;

    bool operator==(const PixelFormatRequest&) const = default;
};

PixelFormatRequest MakePixelFormatRequest(bool doubleBuffered, uint8_t colourBits);

// Every platform operation the viewer's creation and teardown make, one call each, so that a test
// can make any of them fail. The viewer owns the window and context objects; the platform turns
// them into (or releases) the real window and GL context. Each operation returns false when it
// fails.
class ViewerPlatform
{
public:
    virtual ~ViewerPlatform() = default;

    // Creation, in the viewer's order.
    virtual bool RegisterWindowClass() = 0;
    // geometry: where the window frame's top-left corner goes, and the size of the window.
    virtual bool CreateWindow(QWindow& window, const QString& title, const QRect& geometry) = 0;
    virtual bool GetDeviceContext(QWindow& window) = 0;
    virtual std::optional<QSurfaceFormat> ChoosePixelFormat(const PixelFormatRequest& request) = 0;
    virtual bool SetPixelFormat(QWindow& window, const QSurfaceFormat& format) = 0;
    virtual bool CreateContext(QOpenGLContext& context, const QSurfaceFormat& format) = 0;
    virtual bool MakeCurrent(QOpenGLContext& context, QWindow& window) = 0;
    // Whether the current context can keep the picture (SpherePicture::Supported).
    virtual bool SupportsPicture(QOpenGLContext& context) = 0;
    // Shows the window, brings it to the front and gives it the keyboard focus.
    virtual void ShowWindow(QWindow& window) = 0;

    // Teardown, in the viewer's order.
    virtual bool ReleaseCurrent(QOpenGLContext& context) = 0;
    // Takes the context: it is gone afterwards, whether or not its deletion succeeded.
    virtual bool DeleteContext(std::unique_ptr<QOpenGLContext> context) = 0;
    virtual bool ReleaseDeviceContext(QWindow& window) = 0;
    virtual bool DestroyWindow(QWindow& window) = 0;

    // A modal message box with no owner window.
    virtual void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) = 0;
};

}  // namespace ramifex
