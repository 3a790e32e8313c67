#include "gl/jobs/gl_renderer.h"

#include <algorithm>
#include <vector>

#include "core/render/complete_walk.h"
#include "core/render/tee_surface.h"
#include "gl/jobs/offscreen_gl.h"
#include "gl/jobs/output_checks.h"
#include "gl/picture/sphere_picture.h"

namespace ramifex
{
namespace
{

// 96 dots per inch, the usual resolution of pictures with no physical size.
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
            out[x] = qRgb((sum[0] + count / 2) / count, (sum[1] + count / 2) / count,
                          (sum[2] + count / 2) / count);
        }
    }
    return result;
}

GlRenderer::GlRenderer(const RenderSettings& settings) : settings_(settings)
{
}

// The picture's GL objects are deleted in the renderer's context, which then goes.
GlRenderer::~GlRenderer()
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

bool GlRenderer::Start(QString* error)
{
    QString why;
    gl_ = OffscreenGl::Create(&why);
    if (!gl_)
    {
        *error = QStringLiteral("cannot draw off-screen: %1").arg(why);
        return false;
    }
    *error = SampledSizeProblem(settings_.Size, settings_.Samples, SpherePicture::LargestSize());
    if (!error->isEmpty())
    {
        return false;
    }
    const QSize size = settings_.Size * settings_.Samples;
    picture_ = std::make_unique<SpherePicture>(gl_->Context(), size.width(), size.height());
    if (picture_->Framebuffer() == nullptr)
    {
        *error = QStringLiteral("the OpenGL driver cannot keep a picture of %1 pixels")
                     .arg(SizeText(size));
        return false;
    }
    return true;
}

void GlRenderer::Begin(const SceneState& scene)
{
    walk_ = std::make_unique<CompleteWalk>(scene, Surface(), clock_);
    const QSize size = settings_.Size * settings_.Samples;
    walk_->ReadDepthsEvery(OutputDepthReadSteps(int64_t{size.width()} * size.height()));
}

std::optional<QImage> GlRenderer::Tick(QString* error)
{
    if (!walk_)
    {
        return std::nullopt;
    }
    if (!gl_->MakeCurrent())
    {
        *error = QStringLiteral("the OpenGL context cannot be made current");
        return std::nullopt;
    }
    if (!walk_->Tick())
    {
        return std::nullopt;
    }
    walk_.reset();
    QImage picture =
        Downsampled(picture_->Grab().convertToFormat(QImage::Format_RGB32), settings_.Samples);
    picture.setDotsPerMeterX(DotsPerMeter);
    picture.setDotsPerMeterY(DotsPerMeter);
    return picture;
}

double GlRenderer::Fraction() const
{
    return walk_ ? walk_->Fraction() : 0.0;
}

DrawSurface& GlRenderer::Surface()
{
    if (alongside_ && !tee_)
    {
        tee_ = std::make_unique<TeeSurface>(*picture_, *alongside_);
    }
    return tee_ ? static_cast<DrawSurface&>(*tee_) : *picture_;
}

}  // namespace ramifex
