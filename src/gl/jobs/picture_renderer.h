#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/render/projection.h"
#include "core/scene/scene_state.h"

namespace ramifex
{

inline constexpr QSize StartPictureSize{StartPictureWidth, StartPictureHeight};

// What draws a job's pictures.
enum class RenderEngine
{
    OpenGl,  // the walk into a picture, as the viewer draws it, in a context of the job's own
};

// What the pictures of a job are like.
struct RenderSettings
{
    QSize Size = StartPictureSize;
    std::optional<int32_t> Depth;  // none: each scene's own iteration count
    // Each pixel is the mean of Samples x Samples samples (smooth edges). One sample gives the
    // viewer's picture to the pixel.
    int32_t Samples = 1;
    RenderEngine Engine = RenderEngine::OpenGl;
    static constexpr int32_t MaxSamples = 4;
};

// Draws the complete picture of one scene after another, a slice at a time: a way of computing
// pixels behind every job's pictures. Pictures are opaque (QImage::Format_RGB32), at 96 dots per
// inch whatever the display, so that a scene gives the same file everywhere.
class PictureRenderer
{
public:
    virtual ~PictureRenderer() = default;

    // Makes what the pictures are drawn with; false, with *error saying why, when it cannot.
    virtual bool Start(QString* error) = 0;
    // Begins the picture of this scene, which the renderer copies.
    virtual void Begin(const SceneState& scene) = 0;
    // Draws for up to one slice; returns the picture once it is complete. When the drawing fails,
    // returns nothing and *error says why.
    virtual std::optional<QImage> Tick(QString* error) = 0;
    // Of the picture under way.
    virtual double Fraction() const = 0;
};

// The renderer the settings ask for; it is to be started.
std::unique_ptr<PictureRenderer> MakeRenderer(const RenderSettings& settings);

}  // namespace ramifex
