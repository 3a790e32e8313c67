#include "gl/jobs/geometry_job.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <chrono>
#include <utility>

#include "core/render/complete_walk.h"
#include "core/render/frame_tick.h"
#include "gl/jobs/gl_renderer.h"
#include "gl/jobs/output_checks.h"
#include "io/geometry/printed_pieces.h"

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

// A write under way leaves off at its next sphere; its file goes with it.
GeometryJob::~GeometryJob()
{
    writeProgress_.Stop = true;
    if (writing_.valid())
    {
        writing_.wait();
    }
}

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
    if (writing_.valid())
    {
        AwaitWriting();
    }
    else
    {
        Gather();
    }
}

void GeometryJob::Gather()
{
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
    gathered_ = true;
    if (path_.isEmpty())
    {
        return;
    }
    const bool print = options_.Format == GeometryFormat::Stl;
    if (print && options_.SmallestMillimetres > 0.0)
    {
        // A sphere's diameter is its radius times the root's, which has radius 1.
        leftOut_ = LeaveOutSmallerThan(
            geometry_.Spheres,
            static_cast<float>(options_.SmallestMillimetres / options_.StlRootMillimetres));
    }
    fileBytes_ = FileBytes(geometry_, options_.Format);
    writing_ = std::async(std::launch::async,
                          [this, print]
                          {
                              QString error;
                              if (print)
                              {
                                  pieces_ = CountPieces(geometry_.Spheres, &writeProgress_.Stop);
                              }
                              WriteGeometry(path_, geometry_, options_, &error, &writeProgress_);
                              return error;
                          });
}

void GeometryJob::AwaitWriting()
{
    if (writing_.wait_for(std::chrono::milliseconds(TickBudget)) != std::future_status::ready)
    {
        return;
    }
    const QString error = writing_.get();
    written_ = error.isEmpty() || Fail(error);
}

// The gathering's share, then the writing's.
double GeometryJob::Fraction() const
{
    if (Complete())
    {
        return 1.0;
    }
    if (gathered_)
    {
        return fileBytes_ == 0 ? 0.0
                               : std::min(1.0, static_cast<double>(writeProgress_.Bytes) /
                                                   static_cast<double>(fileBytes_));
    }
    return walk_ ? walk_->Fraction() : picture_ ? picture_->Fraction() : 0.0;
}

QString GeometryJob::Activity() const
{
    const QString name = QFileInfo(path_).fileName();
    if (!gathered_)
    {
        return QString::fromUtf8("Gathering the spheres of %1\u2026").arg(name);
    }
    const QLocale locale;
    return QString::fromUtf8("Writing %1 spheres, %2, to %3\u2026")
        .arg(locale.toString(qulonglong(geometry_.Spheres.size())),
             locale.formattedDataSize(qint64(fileBytes_)), name);
}

// A print says how many pieces it falls into, and how many spheres were too small for it.
QString GeometryJob::Written() const
{
    const QLocale locale;
    QString spheres =
        QStringLiteral("%1 spheres").arg(locale.toString(qulonglong(geometry_.Spheres.size())));
    if (options_.Format == GeometryFormat::Stl)
    {
        spheres += pieces_ == 1 ? QStringLiteral(" in one piece")
                                : QStringLiteral(" in %1 separate pieces")
                                      .arg(locale.toString(qulonglong(pieces_)));
    }
    if (leftOut_ > 0)
    {
        spheres += QStringLiteral(" (%1 under %2 mm left out)")
                       .arg(locale.toString(qulonglong(leftOut_)))
                       .arg(options_.SmallestMillimetres);
    }
    return WrittenName(path_) + spheres + QStringLiteral(", ") + FileSizeText(path_);
}

// Written while the job ticked.
bool GeometryJob::Write()
{
    return !Failed();
}

}  // namespace ramifex
