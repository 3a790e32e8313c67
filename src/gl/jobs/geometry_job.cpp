#include "gl/jobs/geometry_job.h"

#include <QFileInfo>
#include <QLocale>
#include <utility>

#include "core/render/complete_walk.h"
#include "gl/jobs/gl_renderer.h"
#include "gl/jobs/output_checks.h"

namespace ramifex
{

GeometryJob::GeometryJob(const SceneState& scene, const GeometrySettings& settings,
                         const GeometryOptions& options, QString path)
    : scene_(scene),
      settings_(settings),
      options_(options),
      path_(std::move(path)),
      collector_(settings.Size.width(), settings.Size.height())
{
    if (settings_.WholeDepth)
    {
        scene_.Iterations = *settings_.WholeDepth;
    }
}

GeometryJob::~GeometryJob() = default;

bool GeometryJob::Start()
{
    if (!path_.isEmpty())
    {
        const QString problem = GeometryOutputProblem(path_);
        if (!problem.isEmpty())
        {
            return Fail(problem);
        }
    }
    if (settings_.WholeDepth)
    {
        walk_ = std::make_unique<CompleteWalk>(scene_, collector_, clock_);
        return true;
    }
    RenderSettings picture;
    picture.Size = settings_.Size;
    picture_ = std::make_unique<GlRenderer>(picture);
    picture_->DrawAlongside(collector_);
    QString error;
    if (!picture_->Start(&error))
    {
        picture_.reset();
        return Fail(error);
    }
    picture_->Begin(scene_);
    return true;
}

void GeometryJob::Tick()
{
    if (Finished())
    {
        return;
    }
    if (walk_ && walk_->Tick())
    {
        Gathered();
    }
    else if (picture_)
    {
        QString error;
        if (picture_->Tick(&error))
        {
            Gathered();
        }
        else if (!error.isEmpty())
        {
            picture_.reset();
            Fail(error);
        }
    }
}

// The picture and the walk go at once: a large picture holds much memory.
void GeometryJob::Gathered()
{
    walk_.reset();
    picture_.reset();
    geometry_ = collector_.TakeGeometry();
    if (!settings_.Camera)
    {
        geometry_.Camera.reset();
    }
    done_ = true;
}

double GeometryJob::Fraction() const
{
    if (done_)
    {
        return 1.0;
    }
    return walk_ ? walk_->Fraction() : picture_ ? picture_->Fraction() : 0.0;
}

QString GeometryJob::Activity() const
{
    const QString name = QFileInfo(path_).fileName();
    if (!done_)
    {
        return QString::fromUtf8("Gathering the spheres of %1\u2026").arg(name);
    }
    const QLocale locale;
    return QString::fromUtf8("Writing %1 spheres, %2, to %3\u2026")
        .arg(locale.toString(qulonglong(geometry_.Spheres.size())),
             locale.formattedDataSize(qint64(FileBytes(geometry_, options_.Format))), name);
}

bool GeometryJob::Write()
{
    QString error;
    return WriteGeometry(path_, geometry_, options_, &error) || Fail(error);
}

}  // namespace ramifex
