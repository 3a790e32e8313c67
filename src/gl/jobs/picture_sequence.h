#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/scene/scene_state.h"
#include "gl/jobs/picture_renderer.h"

namespace ramifex
{

// The scenes of a sequence, each made when its picture begins, so that a long animation holds
// one scene at a time.
struct SceneSequence
{
    int64_t Count = 0;
    std::function<SceneState(int64_t)> At;
};

SceneSequence ScenesOf(std::vector<SceneState> scenes);

// One finished picture of a sequence.
struct RenderedFrame
{
    int64_t Index = 0;  // of its scene in the sequence
    SceneState Scene;   // as drawn: the settings' depth, when they set one, is its iteration count
    QImage Picture;
};

// The complete picture of each scene of a sequence, in order, drawn by the renderer the settings
// ask for, a slice at a time: from a timer, so that the program's windows stay responsive between
// ticks, or in a loop on the command line. Jobs, thumbnails and video frames draw through it.
class PictureSequence
{
public:
    PictureSequence(SceneSequence scenes, const RenderSettings& settings);
    ~PictureSequence();
    PictureSequence(const PictureSequence&) = delete;
    PictureSequence& operator=(const PictureSequence&) = delete;

    // Makes the renderer; false, with Error() saying why, when it cannot draw these pictures.
    bool Start();
    // Draws for up to one slice; returns the picture once it is complete. The next tick begins the
    // next scene's picture. Does nothing before a successful start and once finished.
    std::optional<RenderedFrame> Tick();
    // Every picture is done, or the drawing failed.
    bool Finished() const { return Failed() || next_ >= scenes_.Count; }
    bool Failed() const { return !error_.isEmpty(); }
    const QString& Error() const { return error_; }
    // Of all the pictures; the one under way counts by its share.
    double Fraction() const;
    const RenderSettings& Settings() const { return settings_; }

private:
    SceneState SceneAt(int64_t index) const;

    SceneSequence scenes_;
    RenderSettings settings_;
    int64_t next_ = 0;  // the scene whose picture is drawn, or is to be drawn next
    std::optional<SceneState> drawing_;
    std::unique_ptr<PictureRenderer> renderer_;
    QString error_;
};

}  // namespace ramifex
