#include "gl/jobs/picture_sequence.h"

#include <utility>

#include "gl/jobs/gl_renderer.h"

namespace ramifex
{

std::unique_ptr<PictureRenderer> MakeRenderer(const RenderSettings& settings)
{
    switch (settings.Engine)
    {
        case RenderEngine::OpenGl:
            break;
    }
    return std::make_unique<GlRenderer>(settings);
}

SceneSequence ScenesOf(std::vector<SceneState> scenes)
{
    const auto count = static_cast<int64_t>(scenes.size());
    return {count, [scenes = std::move(scenes)](int64_t index)
            { return scenes[static_cast<size_t>(index)]; }};
}

PictureSequence::PictureSequence(SceneSequence scenes, const RenderSettings& settings)
    : scenes_(std::move(scenes)), settings_(settings)
{
}

PictureSequence::~PictureSequence() = default;

bool PictureSequence::Start()
{
    renderer_ = MakeRenderer(settings_);
    if (!renderer_->Start(&error_))
    {
        renderer_.reset();
        return false;
    }
    return true;
}

std::optional<RenderedFrame> PictureSequence::Tick()
{
    if (Finished() || !renderer_)
    {
        return std::nullopt;
    }
    if (!drawing_)
    {
        drawing_ = SceneAt(next_);
        renderer_->Begin(*drawing_);
    }
    std::optional<QImage> picture = renderer_->Tick(&error_);
    if (!picture)
    {
        if (Failed())
        {
            renderer_.reset();
        }
        return std::nullopt;
    }
    RenderedFrame frame{next_, std::move(*drawing_), std::move(*picture)};
    drawing_.reset();
    if (++next_ == scenes_.Count)
    {
        renderer_.reset();  // a large picture holds much memory
    }
    return frame;
}

double PictureSequence::Fraction() const
{
    if (scenes_.Count == 0)
    {
        return 1.0;
    }
    const double current = drawing_ && renderer_ ? renderer_->Fraction() : 0.0;
    return (static_cast<double>(next_) + current) / static_cast<double>(scenes_.Count);
}

SceneState PictureSequence::SceneAt(int64_t index) const
{
    SceneState scene = scenes_.At(index);
    if (settings_.Depth)
    {
        scene.Iterations = *settings_.Depth;
    }
    return scene;
}

}  // namespace ramifex
