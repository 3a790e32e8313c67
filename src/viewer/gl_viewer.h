#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QImage>
#include <QRect>
#include <QString>

#include "render/draw_surface.h"
#include "viewer/mouse_tracker.h"
#include "viewer/navigator.h"
#include "viewer/sphere_batch.h"
#include "viewer/viewer_platform.h"

class QOpenGLContext;
class QOpenGLFramebufferObject;
class QWindow;

namespace ramifex
{

// The rotation every resize loads as the modelview, column-major: (x, y, z) -> (-y, z, -x). The
// light is given under it when the viewer opens, which fixes the light relative to the viewer.
extern const std::array<float, 16> BasisMatrix;

class RasterBacklog;
class ViewerWindow;

// The window "OpenGL Window" with its GL context, current on the user-interface thread from opening
// on. The frame tick draws through it. The picture lives in an off-screen framebuffer, so each tick
// adds to what the earlier ticks drew, and an uncovered window is shown the kept picture again.
class GlViewer final : public DrawSurface
{
public:
    // platform: nullptr for the Qt platform; the viewer does not own one passed in.
    explicit GlViewer(bool doubleBuffered = true, ViewerPlatform* platform = nullptr);
    ~GlViewer() override;
    GlViewer(const GlViewer&) = delete;
    GlViewer& operator=(const GlViewer&) = delete;

    // Keeps the panel for navigation, creates window and context (a failing step tears down what it
    // holds and shows its message box), then sets the fixed lighting and material state. Called
    // once. On failure nothing is set and every later drawing call does nothing.
    bool Open(Navigator& panel);

    // Viewport, projection (90 degrees across, height following the shape) and BasisMatrix as the
    // modelview, for a drawing area in device pixels. A zero-sized area changes nothing.
    void Resize(int32_t width, int32_t height);

    void Clear() override;
    void SetViewTransform(const Matrix4& view) override;
    // Spheres are gathered into batches and drawn a batch at a time; whatever is pending is drawn
    // before the view changes, before presenting and before the picture is read.
    void DrawSphere(const Matrix4& node, const Vec3& colour) override;
    void Present() override;
    // With the depth test on, a second drawing at the same place changes no pixel.
    bool SkipsRepeatDrawings() const override { return true; }

    bool IsOpen() const { return open_; }
    QWindow* Window() const;
    const MouseTracker& Tracker() const { return tracker_; }
    // The kept picture as drawn so far; empty when the viewer is not open.
    QImage GrabPicture();
    // What closing the window does; by default it ends every running event loop with exit code 0,
    // which ends the program. The window itself stays.
    void SetCloseAction(std::function<void()> action) { closeAction_ = std::move(action); }

private:
    friend class ViewerWindow;

    bool CreateViewerWindow(const QString& title, const QRect& geometry, uint8_t colourBits);
    bool FailCreation(const char* text, const char* caption, MessageIcon icon);
    void TearDown();
    void ShowShutdownError(const char* text);
    void SetLightingAndMaterials();
    bool MakeCurrent();
    void ResizePicture(int32_t width, int32_t height);
    void DrawBatch();

    // Events of the window.
    void OnSizeChanged(int32_t width, int32_t height);
    void OnMouseMove(int32_t x, int32_t y, unsigned flags);
    void OnCloseRequested();

    int32_t width_ = 0;
    int32_t height_ = 0;
    Navigator* panel_ = nullptr;
    bool doubleBuffered_;
    std::unique_ptr<ViewerPlatform> ownPlatform_;
    ViewerPlatform& platform_;
    bool deviceContextHeld_ = false;
    std::unique_ptr<ViewerWindow> window_;
    std::unique_ptr<QOpenGLContext> context_;
    bool open_ = false;  // the context is current and the window is up
    std::unique_ptr<QOpenGLFramebufferObject> picture_;
    SphereBatch batch_;
    std::unique_ptr<RasterBacklog> backlog_;
    std::optional<Matrix4> viewTransform_;
    bool awaitingRestart_ = false;  // the picture was resized; drawing waits for the restart
    MouseTracker tracker_;
    std::function<void()> closeAction_;
};

}  // namespace ramifex
