#include "ui/export/export_size_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <algorithm>

#include "gl/jobs/picture_renderer.h"
#include "ui/commands/program_settings.h"

namespace ramifex
{
namespace
{

constexpr int TypedSize = 0;  // the id of the choice whose size is typed in
constexpr char SmoothEdgesKey[] = "export/smoothEdges";  // samples per side
constexpr char SizeChoiceKey[] = "export/sizeChoice";    // the window's times this, or typed
constexpr char TypedSizeKey[] = "export/typedSize";

QString SizeText(const QSize& size)
{
    return QString::fromUtf8("%1 \u00d7 %2").arg(size.width()).arg(size.height());
}

QSpinBox* CreateSideBox(int value, int largest, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(1, largest);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

}  // namespace

ExportSizeDialog::ExportSizeDialog(const QSize& window, const QSize& largest, QWidget* parent)
    : QDialog(parent), window_(window)
{
    setWindowTitle(QStringLiteral("Export Picture"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Size of the picture:"), this), 0, 0, 1, 4);
    const std::pair<QString, int> multiples[] = {{QStringLiteral("The window's"), 1},
                                                 {QStringLiteral("Twice"), 2},
                                                 {QStringLiteral("Four times"), 4}};
    for (const auto& [name, factor] : multiples)
    {
        const QSize size = window * factor;
        auto* choice = new QRadioButton(QStringLiteral("%1: %2").arg(name, SizeText(size)), this);
        choice->setEnabled(!size.isEmpty() && size.boundedTo(largest) == size);
        choices_.addButton(choice, factor);
        grid->addWidget(choice, grid->rowCount(), 0, 1, 4);
    }
    auto* typed = new QRadioButton(QStringLiteral("Other:"), this);
    choices_.addButton(typed, TypedSize);
    const QSettings remembered(ProgramSettingsPath(), QSettings::IniFormat);
    const QSize typedSize = remembered.value(TypedSizeKey, window).toSize();
    width_ = CreateSideBox(typedSize.width(), largest.width(), this);
    height_ = CreateSideBox(typedSize.height(), largest.height(), this);
    const int row = grid->rowCount();
    grid->addWidget(typed, row, 0);
    grid->addWidget(width_, row, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("\u00d7"), this), row, 2);
    grid->addWidget(height_, row, 3);
    grid->addWidget(new QLabel(QStringLiteral("At most %1.").arg(SizeText(largest)), this), row + 1,
                    1, 1, 3);
    for (QSpinBox* side : {width_, height_})
    {
        side->setEnabled(false);
        connect(typed, &QRadioButton::toggled, side, &QSpinBox::setEnabled);
    }
    QAbstractButton* choice = choices_.button(remembered.value(SizeChoiceKey, 1).toInt());
    if (choice == nullptr || !choice->isEnabled())
    {
        choice = choices_.button(1);
    }
    (choice->isEnabled() ? choice : typed)->setChecked(true);

    smoothEdges_ = new QComboBox(this);
    smoothEdges_->addItem(QStringLiteral("off"), 1);
    for (int samples = 2; samples <= RenderSettings::MaxSamples; ++samples)
    {
        smoothEdges_->addItem(QString::fromUtf8("%1\u00d7%1").arg(samples), samples);
    }
    smoothEdges_->setCurrentIndex(
        std::max(0, smoothEdges_->findData(remembered.value(SmoothEdgesKey, 1).toInt())));
    auto* smoothLabel = new QLabel(QStringLiteral("Smooth edges:"), this);
    smoothLabel->setBuddy(smoothEdges_);
    grid->addWidget(smoothLabel, row + 2, 0);
    grid->addWidget(smoothEdges_, row + 2, 1, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, row + 3, 0, 1, 4);
}

QSize ExportSizeDialog::Size() const
{
    const int factor = choices_.checkedId();
    return factor == TypedSize ? QSize(width_->value(), height_->value()) : window_ * factor;
}

int ExportSizeDialog::Samples() const
{
    return smoothEdges_->currentData().toInt();
}

void ExportSizeDialog::accept()
{
    QSettings settings(ProgramSettingsPath(), QSettings::IniFormat);
    settings.setValue(SmoothEdgesKey, Samples());
    settings.setValue(SizeChoiceKey, choices_.checkedId());
    settings.setValue(TypedSizeKey, QSize(width_->value(), height_->value()));
    QDialog::accept();
}

}  // namespace ramifex
