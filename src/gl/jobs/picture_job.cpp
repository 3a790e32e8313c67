#include "gl/jobs/picture_job.h"

#include <QFileInfo>
#include <utility>

#include "gl/jobs/output_checks.h"
#include "io/scenefile/scene_file.h"

namespace ramifex
{

PictureJob::PictureJob(const SceneState& scene, const RenderSettings& settings, QString path)
    : sequence_(ScenesOf({scene}), settings), path_(std::move(path))
{
}

bool PictureJob::Start()
{
    const QString problem = PictureOutputProblem(path_);
    if (!problem.isEmpty())
    {
        return Fail(problem);
    }
    return sequence_.Start() || Fail(sequence_.Error());
}

void PictureJob::Tick()
{
    if (Finished())
    {
        return;
    }
    picture_ = sequence_.Tick();
    if (sequence_.Failed())
    {
        Fail(sequence_.Error());
    }
}

double PictureJob::Fraction() const
{
    return picture_ ? 1.0 : sequence_.Fraction();
}

QString PictureJob::Activity() const
{
    const QSize size = sequence_.Settings().Size;
    return QString::fromUtf8("Drawing %1, %2 \u00d7 %3 pixels\u2026")
        .arg(QFileInfo(path_).fileName())
        .arg(size.width())
        .arg(size.height());
}

QString PictureJob::Written() const
{
    return WrittenName(path_) + PixelsText(sequence_.Settings().Size) + QStringLiteral(", ") +
           FileSizeText(path_);
}

bool PictureJob::Write()
{
    QString error;
    return WritePictureWithScene(path_, picture_->Picture, picture_->Scene, &error) || Fail(error);
}

}  // namespace ramifex
