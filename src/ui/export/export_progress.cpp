#include "ui/export/export_progress.h"

namespace ramifex
{
namespace
{

constexpr int ProgressSteps = 1000;

}  // namespace

ExportProgress::ExportProgress(QWidget& owner, QObject* parent, const QString& title,
                               const QString& label)
    : QObject(parent), progress_(&owner)
{
    progress_.setWindowTitle(title);
    progress_.setLabelText(label);
    progress_.setRange(0, ProgressSteps);
    progress_.setAutoReset(false);
    progress_.setAutoClose(false);
    // Both windows stay usable while the export runs.
    progress_.setWindowModality(Qt::NonModal);
    connect(&progress_, &QProgressDialog::canceled, this, [this] { Finish({}); });
    progress_.show();
    // Each tick works for at most the walk's budget, then lets the events and the viewer's own
    // ticks through.
    connect(&ticks_, &QTimer::timeout, this, [this] { Tick(); });
    ticks_.start(0);
}

ExportProgress::~ExportProgress() = default;

void ExportProgress::ShowFraction(double fraction)
{
    progress_.setValue(static_cast<int>(fraction * ProgressSteps));
}

// Painted at once, for a label shown while the export works without the event loop.
void ExportProgress::ShowLabel(const QString& label)
{
    progress_.setLabelText(label);
    progress_.repaint();
}

void ExportProgress::Finish(const QString& error)
{
    if (!ticks_.isActive())
    {
        return;  // already done
    }
    ticks_.stop();
    progress_.hide();
    Release();
    emit Done(error);
}

}  // namespace ramifex
