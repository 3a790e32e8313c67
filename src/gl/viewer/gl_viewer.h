#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include "core/navigation/mouse_tracker.h"
#include "core/navigation/navigator.h"
#include "core/render/draw_surface.h"
#include "gl/viewer/viewer_platform.h"

class QKeyEvent;
class QOpenGLContext;
class QWindow;

namespace ramifex
{

class SpherePicture;
class ViewerWindow;

// The window "OpenGL Window" with its GL context, current on the user-interface thread from opening
// on. The frame tick draws through it into a SpherePicture, which keeps what the earlier ticks
// drew; presenting copies the kept picture to the window, and an uncovered window is shown it
// again.
class GlViewer final : public DrawSurface
{
public:
    // platform: nullptr for the Qt platform; the viewer does not own one passed in.
    explicit GlViewer(bool doubleBuffered = true, ViewerPlatform* platform = nullptr);
    ~GlViewer() override;
    GlViewer(const GlViewer&) = delete;
    GlViewer& operator=(const GlViewer&) = delete;

    // Keeps the navigator that the gestures go to, creates window and context (a failing step tears
    // down what it holds and shows its message box, as does a context that cannot keep a picture),
    // then makes the picture, which sets the fixed lighting and material state. Called once. On
    // failure nothing is set and every later drawing call does nothing.
    bool Open(Navigator& navigator);

    // Sizes the picture (SpherePicture::Resize) for a drawing area in device pixels.
    void Resize(int32_t width, int32_t height);

    void Clear() override;
    void SetViewTransform(const Matrix4& view) override;
    void DrawSphere(const Matrix4& node, const Vec3& colour) override;
    // Finishes the picture's drawing and copies it to the window.
    void Present() override;
    // The longest recent present, each older one counting for less.
    uint32_t PresentMs() const override { return presentMs_; }
    // The picture leaves out repeat drawings.
    bool SkipsRepeatDrawings() const override { return true; }
    std::optional<PixelArea> VisibleArea() const override;
    const DepthMap* ReadDepths() override;

    bool IsOpen() const { return open_; }
    // The size of the viewer's picture in pixels.
    QSize PictureSize() const { return {width_, height_}; }
    QWindow* Window() const;
    const MouseTracker& Tracker() const { return tracker_; }
    // The kept picture as drawn so far; empty when the viewer is not open.
    QImage GrabPicture();
    // What closing the window does; by default it ends every running event loop with exit code 0,
    // which ends the program. The window itself stays.
    void SetCloseAction(std::function<void()> action) { closeAction_ = std::move(action); }
    // Where the keys pressed in the window go: the relay returns whether it used them. A window of
    // its own takes no part in the toolkit's shortcuts, so the program's commands reach it this
    // way.
    void SetKeyRelay(std::function<bool(const QKeyEvent&)> relay) { keyRelay_ = std::move(relay); }
    // Where a file dropped onto the window goes; while none is set, the window takes no drops.
    void SetFileDropRelay(std::function<void(const QString&)> relay)
    {
        fileDropRelay_ = std::move(relay);
    }

private:
    friend class ViewerWindow;

    bool CreateViewerWindow(const QString& title, const QRect& geometry, uint8_t colourBits);
    bool FailCreation(const char* text, const char* caption, MessageIcon icon);
    void TearDown();
    void ShowShutdownError(const char* text);
    bool MakeCurrent();
    void ShowPicture(SpherePicture& picture);
    // The picture, its context current; none when the viewer is not open.
    SpherePicture* Current();

    // Events of the window.
    void OnSizeChanged(int32_t width, int32_t height);
    void OnMouseMove(int32_t x, int32_t y, unsigned flags);
    void OnWheel(double notches);
    void OnCloseRequested();
    bool OnKeyPressed(const QKeyEvent& event);
    void OnFileDropped(const QString& path);

    uint32_t presentMs_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    Navigator* navigator_ = nullptr;
    bool doubleBuffered_;
    std::unique_ptr<ViewerPlatform> ownPlatform_;
    ViewerPlatform& platform_;
    bool deviceContextHeld_ = false;
    std::unique_ptr<ViewerWindow> window_;
    std::unique_ptr<QOpenGLContext> context_;
    bool open_ = false;  // the context is current and the window is up
    std::unique_ptr<SpherePicture> picture_;
    MouseTracker tracker_;
    std::function<void()> closeAction_;
    std::function<bool(const QKeyEvent&)> keyRelay_;
    std::function<void(const QString&)> fileDropRelay_;
};

}  // namespace ramifex
