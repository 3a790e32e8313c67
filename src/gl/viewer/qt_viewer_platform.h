#pragma once

#include "gl/viewer/viewer_platform.h"

namespace ramifex
{

// The surface format closest to a pixel-format request: 8 bits per colour channel and no alpha for
// 24 or more colour bits, a 24-bit depth buffer (the viewer relies on the depth test), the
// compatibility profile for the fixed-function calls, single or double buffering as flagged.
// Nothing suitable (no window or OpenGL support asked for, fewer than 24 colour bits): no format.
std::optional<QSurfaceFormat> SurfaceFormatFor(const PixelFormatRequest& request);

// The viewer's platform operations on Qt:
//   register window class  - a QGuiApplication exists (Qt registers its own window classes);
//   create window          - set up the QWindow as an OpenGL surface with title and geometry;
//   get device context     - the window's surface supports OpenGL;
//   choose pixel format    - SurfaceFormatFor;
//   set pixel format       - give the window the format and create its native window;
//   create context         - QOpenGLContext::create with the format;
//   make current           - QOpenGLContext::makeCurrent on the window;
//   supports picture       - SpherePicture::Supported: framebuffer objects and blits;
//   show                   - show and activate (front and focus);
//   release current        - doneCurrent, checked by reading back the current context;
//   delete context         - delete the QOpenGLContext, which cannot fail;
//   release device context - nothing to release on Qt, always succeeds;
//   destroy window         - QWindow::destroy (the native window);
//   message                - QMessageBox without parent, or one line on standard error when the
//                            program has no widget application.
class QtViewerPlatform final : public ViewerPlatform
{
public:
    bool RegisterWindowClass() override;
    bool CreateWindow(QWindow& window, const QString& title, const QRect& geometry) override;
    bool GetDeviceContext(QWindow& window) override;
    std::optional<QSurfaceFormat> ChoosePixelFormat(const PixelFormatRequest& request) override;
    bool SetPixelFormat(QWindow& window, const QSurfaceFormat& format) override;
    bool CreateContext(QOpenGLContext& context, const QSurfaceFormat& format) override;
    bool MakeCurrent(QOpenGLContext& context, QWindow& window) override;
    bool SupportsPicture(QOpenGLContext& context) override;
    void ShowWindow(QWindow& window) override;
    bool ReleaseCurrent(QOpenGLContext& context) override;
    bool DeleteContext(std::unique_ptr<QOpenGLContext> context) override;
    bool ReleaseDeviceContext(QWindow& window) override;
    bool DestroyWindow(QWindow& window) override;
    void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) override;
};

}  // namespace ramifex
