#pragma once

#include <QDialog>

#include "gl/jobs/render_job.h"
#include "io/video/video_output.h"

class QComboBox;
class QSpinBox;

namespace ramifex
{

// What Export Video draws and writes.
struct VideoSettings
{
    RenderSettings Render;
    int32_t Fps = 30;
    VideoFormat Format = VideoFormat::Mp4;
};

// Asks for a video's size, frames per second, depth, smooth edges and format.
class VideoSettingsDialog final : public QDialog
{
    Q_OBJECT

public:
    VideoSettingsDialog(const QSize& largest, QWidget* parent);

    VideoSettings Settings() const;

private:
    QSpinBox* width_;
    QSpinBox* height_;
    QSpinBox* fps_;
    QSpinBox* depth_;
    QComboBox* smoothEdges_;
    QComboBox* format_;
};

}  // namespace ramifex
