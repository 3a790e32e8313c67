#include "ui/export/video_settings_dialog.h"
#include "core/render/projection.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>

#include "ui/commands/program_settings.h"

namespace ramifex
{
namespace
{

constexpr char SizeKey[] = "video/size";
constexpr char FpsKey[] = "video/fps";
constexpr char DepthKey[] = "video/depth";  // 0: each scene's

// The remembered value, or `value` when none is; the box keeps it within its range.
QSpinBox* CreateSpinBox(int low, int high, const QVariant& value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value.toInt());
    return box;
}

QVariant Remembered(const char* key, const QVariant& value)
{
    return QSettings(ProgramSettingsPath(), QSettings::IniFormat).value(key, value);
}

QSize RememberedSize()
{
    return Remembered(SizeKey, QSize(StartPictureWidth, StartPictureHeight)).toSize();
}

}  // namespace

VideoSettingsDialog::VideoSettingsDialog(const QSize& largest, QWidget* parent)
    : QDialog(parent),
      width_(CreateSpinBox(2, largest.width(), RememberedSize().width(), this)),
      height_(CreateSpinBox(2, largest.height(), RememberedSize().height(), this)),
      fps_(CreateSpinBox(1, 240, Remembered(FpsKey, 30), this)),
      depth_(CreateSpinBox(0, MaxDepth, Remembered(DepthKey, 0), this)),
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

void VideoSettingsDialog::accept()
{
    QSettings settings(ProgramSettingsPath(), QSettings::IniFormat);
    settings.setValue(SizeKey, QSize(width_->value(), height_->value()));
    settings.setValue(FpsKey, fps_->value());
    settings.setValue(DepthKey, depth_->value());
    QDialog::accept();
}

}  // namespace ramifex
