#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/render/millisecond_clock.h"
#include "core/scene/scene_state.h"

namespace ramifex
{

class CompleteWalk;
class DrawSurface;
class TeeSurface;
class OffscreenGl;
class SpherePicture;

// What the pictures of a render job are like.
struct RenderSettings
{
    QSize Size{640, 480};          // the viewer's drawing area when it opens
    std::optional<int32_t> Depth;  // none: each scene's own iteration count
    // Each pixel is the mean of Samples x Samples samples, drawn at Samples times the size (smooth
    // edges). One sample gives the viewer's picture to the pixel.
    int32_t Samples = 1;
    static constexpr int32_t MaxSamples = 4;
};

// One finished picture of a job.
struct RenderedFrame
{
    size_t Index = 0;  // of its scene in the job
    SceneState Scene;  // as drawn: the job's depth, when it sets one, is its iteration count
    QImage Picture;    // opaque (QImage::Format_RGB32), at 96 dots per inch whatever the display
};

// Every picture that is not the viewer's: the complete picture of each of a sequence of scenes, in
// order, drawn in a GL context and off-screen surface of the job's own (OffscreenGl) with no
// window. It is ticked a slice at a time: from a timer, so that the program's windows stay
// responsive between ticks, or in a loop on the command line. Each tick makes the job's context
// current; whoever draws in another context makes theirs current again, as the viewer does. At a
// window's size, a job's picture is that window's completed picture to the pixel.
// The picture of `samples` x `samples` times fewer pixels, each the mean of the block it covers,
// averaged on the stored (sRGB) values. Returns `picture` as it is for one sample.
QImage Downsampled(const QImage& picture, int32_t samples);

// Why a picture of `size` at `samples` x `samples` samples cannot be drawn where `largest` is the
// largest picture; empty when it can.
QString SampledSizeProblem(const QSize& size, int32_t samples, const QSize& largest);

class RenderJob
{
public:
    RenderJob(std::vector<SceneState> scenes, const RenderSettings& settings);
    ~RenderJob();
    RenderJob(const RenderJob&) = delete;
    RenderJob& operator=(const RenderJob&) = delete;

    // Every sphere the pictures draw is also handed to `surface`, which must outlive the job; set
    // before the first tick.
    void DrawAlongside(DrawSurface& surface) { alongside_ = &surface; }
    // Makes the context and the picture. False when either cannot be made, or the settings ask for
    // what the context cannot draw, with Error() saying why.
    bool Start();
    // Draws for up to one tick's budget (TickBudget); returns the picture once it is complete. The
    // next tick begins the next scene's picture. Does nothing before a successful start and once
    // finished.
    std::optional<RenderedFrame> Tick();
    // Every picture is done, or the job failed.
    bool Finished() const { return Failed() || next_ >= scenes_.size(); }
    bool Failed() const { return !error_.isEmpty(); }
    const QString& Error() const { return error_; }
    // Of all the pictures; the one under way counts by its walk's share.
    double Fraction() const;
    const RenderSettings& Settings() const { return settings_; }

private:
    DrawSurface& Surface();
    bool Fail(const QString& why);
    void Release();

    std::vector<SceneState> scenes_;
    RenderSettings settings_;
    size_t next_ = 0;  // the scene whose picture is drawn, or is to be drawn next
    std::unique_ptr<OffscreenGl> gl_;
    std::unique_ptr<SpherePicture> picture_;
    DrawSurface* alongside_ = nullptr;
    std::unique_ptr<TeeSurface> tee_;
    SteadyMillisecondClock clock_;
    std::unique_ptr<CompleteWalk> walk_;
    QString error_;
};

}  // namespace ramifex
