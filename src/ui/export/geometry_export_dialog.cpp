#include "ui/export/geometry_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QSpinBox>

namespace ramifex
{
namespace
{

struct FormatEntry
{
    const char* Name;
    GeometryFormat Format;
    const char* Suffix;
};

constexpr FormatEntry Formats[] = {
    {"glTF binary (.glb): triangles with normals and colours", GeometryFormat::Gltf, ".glb"},
    {"PLY points (.ply): x y z radius red green blue", GeometryFormat::PlyPoints, ".ply"},
    {"PLY triangles (.ply) with vertex colours", GeometryFormat::PlyMesh, ".ply"},
    {"STL triangles (.stl) in millimetres, for printing", GeometryFormat::Stl, ".stl"},
    {"OBJ triangles (.obj) with vertex colours", GeometryFormat::Obj, ".obj"},
    {"VTK points (.vtp) with radius and colour, for ParaView", GeometryFormat::VtkPoints, ".vtp"},
};

// Spheres of a whole tree are mostly small on screen: the estimate takes the second-coarsest
// tessellation for all.
constexpr int EstimateLevel = 1;

QSpinBox* CreateBox(int low, int value, int high, const QString& suffix, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

}  // namespace

const char* SuffixOf(GeometryFormat format)
{
    for (const FormatEntry& entry : Formats)
    {
        if (entry.Format == format)
        {
            return entry.Suffix;
        }
    }
    return "";
}

GeometryExportDialog::GeometryExportDialog(const QSize& window, const QSize& largest,
                                           QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Export Geometry"));
    auto* grid = new QGridLayout(this);
    AddWhat(0);
    grid->addWidget(new QLabel(QStringLiteral("Judged and tessellated at:"), this), 3, 0);
    width_ = CreateBox(1, window.width(), largest.width(), QStringLiteral(" px"), this);
    height_ = CreateBox(1, window.height(), largest.height(), QStringLiteral(" px"), this);
    grid->addWidget(width_, 3, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("\u00d7"), this), 3, 2);
    grid->addWidget(height_, 3, 3);
    AddFormat(4);
    estimate_ = new QLabel(this);
    grid->addWidget(estimate_, 8, 0, 1, 4);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 9, 0, 1, 4);
    ShowEstimate();
}

void GeometryExportDialog::AddWhat(int row)
{
    auto& grid = static_cast<QGridLayout&>(*layout());
    auto* view = new QRadioButton(QStringLiteral("What the view shows"), this);
    whole_ = new QRadioButton(QStringLiteral("The whole tree to depth"), this);
    depth_ = CreateBox(1, 10, MaxWholeDepth, QString(), this);
    view->setChecked(true);
    depth_->setEnabled(false);
    connect(whole_, &QRadioButton::toggled, depth_, &QSpinBox::setEnabled);
    connect(whole_, &QRadioButton::toggled, this, &GeometryExportDialog::ShowEstimate);
    connect(depth_, &QSpinBox::valueChanged, this, &GeometryExportDialog::ShowEstimate);
    grid.addWidget(new QLabel(QStringLiteral("Export:"), this), row, 0, 1, 4);
    grid.addWidget(view, row + 1, 0, 1, 4);
    grid.addWidget(whole_, row + 2, 0);
    grid.addWidget(depth_, row + 2, 1);
}

void GeometryExportDialog::AddFormat(int row)
{
    auto& grid = static_cast<QGridLayout&>(*layout());
    format_ = new QComboBox(this);
    for (const FormatEntry& entry : Formats)
    {
        format_->addItem(QString::fromUtf8(entry.Name));
    }
    stlSize_ = new QDoubleSpinBox(this);
    stlSize_->setRange(0.1, 10000.0);
    stlSize_->setValue(GeometryOptions().StlRootMillimetres);
    stlSize_->setSuffix(QStringLiteral(" mm"));
    camera_ = new QCheckBox(QStringLiteral("With the view's camera"), this);
    const auto follow = [this]
    {
        const GeometryFormat format = Formats[format_->currentIndex()].Format;
        stlSize_->setEnabled(format == GeometryFormat::Stl);
        camera_->setEnabled(format == GeometryFormat::Gltf);
        ShowEstimate();
    };
    connect(format_, &QComboBox::currentIndexChanged, this, follow);
    follow();
    grid.addWidget(new QLabel(QStringLiteral("Format:"), this), row, 0);
    grid.addWidget(format_, row, 1, 1, 3);
    grid.addWidget(camera_, row + 1, 1, 1, 3);
    grid.addWidget(new QLabel(QStringLiteral("Root sphere across (STL):"), this), row + 2, 0);
    grid.addWidget(stlSize_, row + 2, 1);
}

void GeometryExportDialog::ShowEstimate()
{
    if (!estimate_)
    {
        return;  // still being built
    }
    if (!whole_->isChecked())
    {
        estimate_->setText(
            QStringLiteral("The spheres that show at this size: counted once gathered."));
        return;
    }
    const GeometryFormat format = Formats[format_->currentIndex()].Format;
    const uint64_t count = WholeTreeSpheres(depth_->value());
    const uint64_t bytes = EstimatedFileBytes(count, EstimateLevel, format);
    const QLocale locale;
    estimate_->setText(
        QStringLiteral("%1 spheres, about %2%3")
            .arg(locale.toString(qulonglong(count)), locale.formattedDataSize(qint64(bytes)),
                 FormatHolds(format, bytes) ? QString()
                                            : QStringLiteral(": more than a .glb can hold")));
}

GeometryChoice GeometryExportDialog::Choice() const
{
    GeometryChoice choice;
    choice.Settings.Size = {width_->value(), height_->value()};
    if (whole_->isChecked())
    {
        choice.Settings.WholeDepth = depth_->value();
    }
    choice.Options.Format = Formats[format_->currentIndex()].Format;
    choice.Options.StlRootMillimetres = stlSize_->value();
    choice.Settings.Camera = camera_->isEnabled() && camera_->isChecked();
    return choice;
}

}  // namespace ramifex
