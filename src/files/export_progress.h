#pragma once

#include <QProgressDialog>
#include <QString>

namespace ramifex
{

// The steps of an export's progress bar.
inline constexpr int ExportProgressSteps = 1000;

// Shows an export's progress over its owner without blocking either window, so that both stay
// usable while the export runs; it stays up until the export hides it.
inline void ShowExportProgress(QProgressDialog& progress, const QString& title,
                               const QString& label)
{
    progress.setWindowTitle(title);
    progress.setLabelText(label);
    progress.setRange(0, ExportProgressSteps);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setWindowModality(Qt::NonModal);
    progress.show();
}

}  // namespace ramifex
