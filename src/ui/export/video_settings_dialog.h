#pragma once

#include <QDialog>

#include "gl/jobs/video_job.h"

class QComboBox;
class QSpinBox;

namespace ramifex
{

// Asks for a video's size, frames per second, depth, smooth edges and format, and remembers the
// size, frames per second and depth (QSettings) for the next export once accepted.
class VideoSettingsDialog final : public QDialog
{
    Q_OBJECT

public:
    VideoSettingsDialog(const QSize& largest, QWidget* parent);

    VideoSettings Settings() const;

    void accept() override;

private:
    QSpinBox* width_;
    QSpinBox* height_;
    QSpinBox* fps_;
    QSpinBox* depth_;
    QComboBox* smoothEdges_;
    QComboBox* format_;
};

}  // namespace ramifex
