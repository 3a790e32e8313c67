#include "ui/export/video_settings_dialog.h"
#include "core/render/projection.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace ramifex
{
namespace
{

QSpinBox* CreateSpinBox(int low, int high, int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

}  // namespace

VideoSettingsDialog::VideoSettingsDialog(const QSize& largest, QWidget* parent)
    : QDialog(parent),
      width_(CreateSpinBox(2, largest.width(), StartPictureWidth, this)),
      height_(CreateSpinBox(2, largest.height(), StartPictureHeight, this)),
      fps_(CreateSpinBox(1, 240, 30, this)),
      depth_(CreateSpinBox(0, MaxDepth, 0, this)),
      smoothEdges_(new QComboBox(this)),
      format_(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Export Video"));
    auto* form = new QFormLayout(this);
    auto* size = new QHBoxLayout;
    size->addWidget(width_);
    size->addWidget(new QLabel(QString::fromUtf8("\u00d7"), this));
    size->addWidget(height_);
    form->addRow(QStringLiteral("Size:"), size);
    form->addRow(QStringLiteral("Frames per second:"), fps_);
    depth_->setSpecialValueText(QStringLiteral("each scene's"));
    form->addRow(QStringLiteral("Depth:"), depth_);
    smoothEdges_->addItem(QStringLiteral("off"), 1);
    for (int samples = 2; samples <= RenderSettings::MaxSamples; ++samples)
    {
        smoothEdges_->addItem(QString::fromUtf8("%1\u00d7%1").arg(samples), samples);
    }
    form->addRow(QStringLiteral("Smooth edges:"), smoothEdges_);
    format_->addItem(QStringLiteral("MP4 (H.264)"), static_cast<int>(VideoFormat::Mp4));
    format_->addItem(QStringLiteral("WebM (VP9)"), static_cast<int>(VideoFormat::WebM));
    format_->addItem(QStringLiteral("Numbered PNG pictures"),
                     static_cast<int>(VideoFormat::PngSequence));
    form->addRow(QStringLiteral("Format:"), format_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

VideoSettings VideoSettingsDialog::Settings() const
{
    VideoSettings settings;
    settings.Render.Size = {width_->value(), height_->value()};
    if (depth_->value() > 0)
    {
        settings.Render.Depth = depth_->value();
    }
    settings.Render.Samples = smoothEdges_->currentData().toInt();
    settings.Fps = fps_->value();
    settings.Format = static_cast<VideoFormat>(format_->currentData().toInt());
    return settings;
}

}  // namespace ramifex
