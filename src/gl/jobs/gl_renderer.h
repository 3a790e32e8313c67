#pragma once

#include <memory>

#include "core/render/millisecond_clock.h"
#include "gl/jobs/picture_renderer.h"

namespace ramifex
{

class CompleteWalk;
class DrawSurface;
class OffscreenGl;
class SpherePicture;
class TeeSurface;

// The picture of `samples` x `samples` times fewer pixels, each the mean of the block it covers,
// averaged on the stored (sRGB) values and rounded to the nearest. Returns `picture` as it is for
// one sample.
QImage Downsampled(const QImage& picture, int32_t samples);

// The walk's pictures in a GL context and off-screen surface of the renderer's own (OffscreenGl),
// with no window: at a window's size, the window's completed picture (to the pixel where both
// read the depths at the same steps; the renderer's walk reads them where its steps decide, so
// each picture comes out the same in every run). Each tick makes
// the renderer's context current; whoever draws in another context makes theirs current again, as
// the viewer does. With smooth edges the picture is drawn at Samples times the size.
class GlRenderer final : public PictureRenderer
{
public:
    explicit GlRenderer(const RenderSettings& settings);
    ~GlRenderer() override;
    GlRenderer(const GlRenderer&) = delete;
    GlRenderer& operator=(const GlRenderer&) = delete;

    // Every sphere the pictures draw is also handed to `surface`, which must outlive the renderer;
    // set before the first picture begins.
    void DrawAlongside(DrawSurface& surface) { alongside_ = &surface; }

    bool Start(QString* error) override;
    void Begin(const SceneState& scene) override;
    std::optional<QImage> Tick(QString* error) override;
    double Fraction() const override;

private:
    DrawSurface& Surface();

    RenderSettings settings_;
    std::unique_ptr<OffscreenGl> gl_;
    std::unique_ptr<SpherePicture> picture_;
    DrawSurface* alongside_ = nullptr;
    std::unique_ptr<TeeSurface> tee_;
    SteadyMillisecondClock clock_;
    std::unique_ptr<CompleteWalk> walk_;
};

}  // namespace ramifex
