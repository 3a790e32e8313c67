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

// The window's size times a factor, by name.
const std::pair<const char*, int> Multiples[] = {
    {"The window's", 1}, {"Twice", 2}, {"Four times", 4}};

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
    : QDialog(parent), window_(window), largest_(largest)
{
    setWindowTitle(QStringLiteral("Export Picture"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Size of the picture:"), this), 0, 0, 1, 4);
    for (const auto& [name, factor] : Multiples)
    {
        auto* choice = new QRadioButton(this);
        choices_.addButton(choice, factor);
        grid->addWidget(choice, grid->rowCount(), 0, 1, 4);
    }
    auto* typed = new QRadioButton(QStringLiteral("Other:"), this);
    typed_ = typed;
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
    atMost_ = new QLabel(this);
    grid->addWidget(atMost_, row + 1, 1, 1, 3);
    for (QSpinBox* side : {width_, height_})
    {
        side->setEnabled(false);
        connect(typed, &QRadioButton::toggled, side, &QSpinBox::setEnabled);
    }

    smoothEdges_ = new QComboBox(this);
    smoothEdges_->addItem(QStringLiteral("off"), 1);
    for (int samples = 2; samples <= RenderSettings::MaxSamples; ++samples)
    {
        smoothEdges_->addItem(QString::fromUtf8("%1\u00d7%1").arg(samples), samples);
    }
    smoothEdges_->setCurrentIndex(
        std::max(0, smoothEdges_->findData(remembered.value(SmoothEdgesKey, 1).toInt())));
    FollowSamples();
    connect(smoothEdges_, &QComboBox::currentIndexChanged, this, &ExportSizeDialog::FollowSamples);
    QAbstractButton* choice = choices_.button(remembered.value(SizeChoiceKey, 1).toInt());
    if (choice == nullptr || !choice->isEnabled())
    {
        choice = choices_.button(1);
    }
    (choice->isEnabled() ? choice : typed)->setChecked(true);
    auto* smoothLabel = new QLabel(QStringLiteral("Smooth edges:"), this);
    smoothLabel->setBuddy(smoothEdges_);
    grid->addWidget(smoothLabel, row + 2, 0);
    grid->addWidget(smoothEdges_, row + 2, 1, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, row + 3, 0, 1, 4);
}

// Smooth edges draw the picture that many times larger on each side, and that must fit too: what
// does not is refused here, saying why.
void ExportSizeDialog::FollowSamples()
{
    const int samples = Samples();
    const QSize limit(largest_.width() / samples, largest_.height() / samples);
    const QString with =
        samples > 1 ? QStringLiteral(" with %1 smooth edges").arg(smoothEdges_->currentText())
                    : QString();
    for (const auto& [name, factor] : Multiples)
    {
        const QSize size = window_ * factor;
        const bool fits = !size.isEmpty() && size.boundedTo(limit) == size;
        QAbstractButton* choice = choices_.button(factor);
        choice->setEnabled(fits);
        QString text = QStringLiteral("%1: %2").arg(QString::fromUtf8(name), SizeText(size));
        if (!fits && !with.isEmpty())
        {
            text += QStringLiteral(" (too large%1)").arg(with);
        }
        choice->setText(text);
    }
    width_->setMaximum(limit.width());
    height_->setMaximum(limit.height());
    atMost_->setText(QStringLiteral("At most %1%2.").arg(SizeText(limit), with));
    if (choices_.checkedButton() != nullptr && !choices_.checkedButton()->isEnabled())
    {
        typed_->setChecked(true);
    }
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
