#include "gl/jobs/render_job.h"

#include <algorithm>
#include <utility>

#include "core/render/complete_walk.h"
#include "core/render/tee_surface.h"
#include "gl/jobs/offscreen_gl.h"
#include "gl/picture/sphere_picture.h"

namespace ramifex
{
namespace
{

// 96 dots per inch, the usual resolution of pictures with no physical size, so that a scene gives
// the same file on every display and with none.
constexpr int DotsPerMeter = 3780;

QString SizeText(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

}  // namespace

QImage Downsampled(const QImage& picture, int32_t samples)
{
    if (samples == 1)
    {
        return picture;
    }
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QImage result(source.width() / samples, source.height() / samples, QImage::Format_RGB32);
    const int32_t count = samples * samples;
    std::vector<int32_t> sums(static_cast<size_t>(result.width()) * 3);
    for (int32_t y = 0; y < result.height(); ++y)
    {
        std::fill(sums.begin(), sums.end(), 0);
        for (int32_t row = y * samples; row < (y + 1) * samples; ++row)
        {
            const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(row));
            for (int32_t x = 0; x < result.width() * samples; ++x)
            {
                int32_t* sum = &sums[static_cast<size_t>(x / samples) * 3];
                sum[0] += qRed(line[x]);
                sum[1] += qGreen(line[x]);
                sum[2] += qBlue(line[x]);
            }
        }
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int32_t x = 0; x < result.width(); ++x)
        {
            const int32_t* sum = &sums[static_cast<size_t>(x) * 3];
            // Rounded to the nearest value.
            out[x] = qRgb((sum[0] + count / 2) / count, (sum[1] + count / 2) / count,
                          (sum[2] + count / 2) / count);
        }
    }
    return result;
}

QString SampledSizeProblem(const QSize& size, int32_t samples, const QSize& largest)
{
    if (samples < 1 || samples > RenderSettings::MaxSamples)
    {
        return QStringLiteral("the samples per pixel are 1 to %1 (1x1 to %1x%1), not %2")
            .arg(RenderSettings::MaxSamples)
            .arg(samples);
    }
    const QSize drawn = size * samples;
    if (drawn.boundedTo(largest) == drawn)
    {
        return {};
    }
    if (samples == 1)
    {
        return QStringLiteral("%1 is larger than the largest picture, %2")
            .arg(SizeText(size), SizeText(largest));
    }
    return QStringLiteral(
               "%1 with %2x%2 samples is drawn at %3, larger than the largest picture, "
               "%4: with %2x%2 samples the largest size is %5")
        .arg(SizeText(size))
        .arg(samples)
        .arg(SizeText(drawn), SizeText(largest), SizeText(largest / samples));
}

RenderJob::RenderJob(std::vector<SceneState> scenes, const RenderSettings& settings)
    : scenes_(std::move(scenes)), settings_(settings)
{
    if (settings_.Depth)
    {
        for (SceneState& scene : scenes_)
        {
            scene.Iterations = *settings_.Depth;
        }
    }
}

RenderJob::~RenderJob()
{
    Release();
}

bool RenderJob::Start()
{
    QString why;
    gl_ = OffscreenGl::Create(&why);
    if (!gl_)
    {
        return Fail(QStringLiteral("cannot draw off-screen: %1").arg(why));
    }
    const QString problem =
        SampledSizeProblem(settings_.Size, settings_.Samples, SpherePicture::LargestSize());
    if (!problem.isEmpty())
    {
        return Fail(problem);
    }
    const QSize size = settings_.Size * settings_.Samples;
    picture_ = std::make_unique<SpherePicture>(gl_->Context(), size.width(), size.height());
    if (picture_->Framebuffer() == nullptr)
    {
        return Fail(QStringLiteral("the OpenGL driver cannot keep a picture of %1 pixels")
                        .arg(SizeText(size)));
    }
    return true;
}

std::optional<RenderedFrame> RenderJob::Tick()
{
    if (Finished() || !picture_)
    {
        return std::nullopt;
    }
    if (!gl_->MakeCurrent())
    {
        Fail(QStringLiteral("the OpenGL context cannot be made current"));
        return std::nullopt;
    }
    if (!walk_)
    {
        walk_ = std::make_unique<CompleteWalk>(scenes_[next_], Surface(), clock_);
    }
    if (!walk_->Tick())
    {
        return std::nullopt;
    }
    RenderedFrame frame{
        next_, scenes_[next_],
        Downsampled(picture_->Grab().convertToFormat(QImage::Format_RGB32), settings_.Samples)};
    frame.Picture.setDotsPerMeterX(DotsPerMeter);
    frame.Picture.setDotsPerMeterY(DotsPerMeter);
    walk_.reset();
    if (++next_ == scenes_.size())
    {
        Release();  // a large picture holds much memory
    }
    return frame;
}

double RenderJob::Fraction() const
{
    if (scenes_.empty())
    {
        return 1.0;
    }
    const double current = walk_ ? walk_->Fraction() : 0.0;
    return (static_cast<double>(next_) + current) / static_cast<double>(scenes_.size());
}

DrawSurface& RenderJob::Surface()
{
    if (alongside_ && !tee_)
    {
        tee_ = std::make_unique<TeeSurface>(*picture_, *alongside_);
    }
    return tee_ ? static_cast<DrawSurface&>(*tee_) : *picture_;
}

bool RenderJob::Fail(const QString& why)
{
    error_ = why;
    Release();
    return false;
}

// The picture's GL objects are deleted in the job's context, which then goes.
void RenderJob::Release()
{
    walk_.reset();
    tee_.reset();
    if (gl_)
    {
        gl_->MakeCurrent();
    }
    picture_.reset();
    gl_.reset();
}

}  // namespace ramifex
