#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QImage>
#include <QMetaObject>
#include <QSize>

#include "core/render/draw_surface.h"
#include "gl/picture/sphere_batch.h"

class QOpenGLContext;
class QOpenGLFramebufferObject;

namespace ramifex
{

// The rotation every resize loads as the modelview, column-major: (x, y, z) -> (-y, z, -x). The
// light is given under it when the picture is made, which fixes the light relative to the viewer.
extern const std::array<float, 16> BasisMatrix;

class RasterBacklog;

// The picture the tree walk draws: lit spheres under a perspective of 90 degrees across, kept in a
// framebuffer object of the picture's size, so each tick adds to what the earlier ticks drew. It
// needs a GL context and nothing else: a window, an off-screen surface, any size. Its context must
// be current whenever the picture is made, used or destroyed. When the context goes first, the
// picture's GL objects go with it and every later call does nothing.
class SpherePicture final : public DrawSurface
{
public:
    // Whether the context, which must be current, provides what a picture needs: framebuffer
    // objects to keep it in, and framebuffer blits to show it.
    static bool Supported(QOpenGLContext& context);
    // The largest picture the current context can keep, at most MaxSide on each side.
    static QSize LargestSize();
    // Pictures larger than this take a gigabyte or more between framebuffer, depth buffer and
    // image: more than an export should ask of a desktop.
    static constexpr int32_t MaxSide = 8192;

    // A black picture of the given size (see Resize), with the fixed lighting and material state
    // set in the context.
    SpherePicture(QOpenGLContext& context, int32_t width, int32_t height);
    ~SpherePicture() override;
    SpherePicture(const SpherePicture&) = delete;
    SpherePicture& operator=(const SpherePicture&) = delete;

    // Viewport, projection (FrustumFor) and BasisMatrix as the modelview, for width by height
    // pixels. A new size starts a new, black picture, which draws nothing until the next Clear: a
    // walk under way was laid out for the old shape, and as its second drawings are left out, what
    // it would add is a fragment without its ancestors. An empty size changes nothing.
    void Resize(int32_t width, int32_t height);

    void Clear() override;
    void SetViewTransform(const Matrix4& view) override;
    // Spheres are gathered into batches and drawn a batch at a time; whatever is pending is drawn
    // before the view changes, before the size changes, when presenting and before reading back.
    void DrawSphere(const Matrix4& node, const Vec3& colour) override;
    // Finishes what is pending; the picture keeps it. Showing it is up to whoever holds the window.
    void Present() override;
    // With the depth test on, a second drawing at the same place changes no pixel.
    bool SkipsRepeatDrawings() const override { return true; }
    // None while a new size waits for the restart: nothing is drawn then.
    std::optional<PixelArea> VisibleArea() const override;
    // None for pictures so large that reading their depths back would cost more than it saves.
    const DepthMap* ReadDepths() override;

    // The framebuffer the picture is kept in, bound for drawing; null when there is none (no
    // framebuffer could be made, or the context is gone).
    QOpenGLFramebufferObject* Framebuffer() const { return framebuffer_.get(); }
    // The picture as drawn so far; empty when there is no framebuffer.
    QImage Grab();

private:
    void SetLightingAndMaterials();
    void ApplyProjection();
    void ResizeFramebuffer(int32_t width, int32_t height);
    void DrawBatch();
    void ReleaseGlObjects();

    QOpenGLContext* context_;  // null once the context is gone
    QMetaObject::Connection contextGone_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::unique_ptr<QOpenGLFramebufferObject> framebuffer_;
    SphereBatch batch_;
    std::unique_ptr<RasterBacklog> backlog_;
    std::optional<Matrix4> viewTransform_;
    bool awaitingRestart_ = false;
    std::vector<float> depthPixels_;
    DepthMap depths_;
};

}  // namespace ramifex
