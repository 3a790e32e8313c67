#pragma once

#include <QString>
#include <optional>

#include "gl/jobs/job.h"
#include "gl/jobs/picture_sequence.h"

namespace ramifex
{

// The complete picture of one scene, written as a PNG that carries the scene (with the job's
// depth), so that opening the picture gives the scene back.
class PictureJob final : public Job
{
public:
    PictureJob(const SceneState& scene, const RenderSettings& settings, QString path);

    bool Start() override;
    void Tick() override;
    double Fraction() const override;
    QString Activity() const override;
    QString Written() const override;
    bool Write() override;

    // The picture, once complete.
    const std::optional<RenderedFrame>& Picture() const { return picture_; }

private:
    bool Complete() const override { return picture_.has_value(); }

    PictureSequence sequence_;
    QString path_;
    std::optional<RenderedFrame> picture_;
};

}  // namespace ramifex
