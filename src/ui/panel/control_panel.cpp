#include "ui/panel/control_panel.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/panel/caption_fit.h"
#include "ui/panel/dialog_units.h"
#include "ui/panel/iterations_text.h"
#include "ui/panel/phrase_label.h"
#include "ui/panel/slider_scaling.h"
#include "ui/panel/walk_status.h"
#include "ui/placement/window_placement.h"
#include "ui/resources/app_icon.h"
#include "ui/text/plain_text.h"

namespace ramifex
{
namespace
{

constexpr int SwatchSide = 48;

std::optional<QColor> ChooseWithColourDialog(QWidget& owner, const QColor& initial)
{
    QColorDialog dialog(initial, &owner);
    // Blocks the panel only: the viewer stays usable and the timer keeps drawing meanwhile.
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
    {
        return std::nullopt;
    }
    return dialog.selectedColor();
}

QFont DialogFont(const DialogTemplate& layout)
{
    QFont font(QString::fromUtf8(layout.FontFamily), layout.FontPointSize);
    font.setStyleHint(QFont::SansSerif);  // the family is rarely installed; any sans will do
    return font;
}

QSlider* CreateTrackbar(QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setTickPosition(QSlider::NoTicks);
    return slider;
}

QPushButton* CreatePushButton(const QString& caption, bool isDefault, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    // Enter activates the focused button, or OK while no other button has the focus.
    button->setAutoDefault(true);
    button->setDefault(isDefault);
    return button;
}

QListWidget* CreateListBox(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setSortingEnabled(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

QLabel* CreateStaticText(const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// What a mouse button does on a slider, from the first press to the last release, is one action.
class SliderGestures final : public QObject
{
public:
    SliderGestures(SceneEditor& editor, QObject* parent) : QObject(parent), editor_(editor) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease)
        {
            const auto& mouse = static_cast<const QMouseEvent&>(*event);
            if (type == QEvent::MouseButtonPress && mouse.buttons() == mouse.button())
            {
                editor_.BeginGesture();
            }
            else if (type == QEvent::MouseButtonRelease && mouse.buttons() == Qt::NoButton)
            {
                editor_.EndGesture();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    SceneEditor& editor_;
};

template <typename Widget>
Widget* Bound(const std::map<int, QWidget*>& controls, int id)
{
    return qobject_cast<Widget*>(controls.at(id));
}

}  // namespace

ControlPanel::ControlPanel(PanelServices services, QWidget* parent)
    : QDialog(parent),
      services_(std::move(services)),
      icon_(AppIcon()),
      chooseColour_(ChooseWithColourDialog)
{
    const DialogTemplate& layout = ControlPanelTemplate();
    setWindowTitle(QString::fromUtf8(layout.Caption));
    // A top-level window of its own, so that the desktop lists it on the task bar.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont(layout));
    CreateControls(layout);
    BindControls();
    PrepareSwatch(layout);
    CreateMenus();
    CreateStatusLine();
    PlaceControls(layout);
    LayOut(templateArea_->size());
    ConnectHandlers();
    listener_ =
        services_.Editor.AddListener([this](const SceneChange& change) { OnSceneChanged(change); });
}

// The editor outlives the panel: the viewer's gestures keep reaching it.
ControlPanel::~ControlPanel()
{
    services_.Editor.RemoveListener(listener_);
}

void ControlPanel::CreateControls(const DialogTemplate& layout)
{
    templateArea_ = new QWidget(this);
    // Created in template order, which makes the focus chain the template's tab order.
    for (const DialogControl& control : layout.Controls)
    {
        QWidget* widget = CreateControl(control, templateArea_);
        placed_.push_back({widget, control.Rect});
        if (control.Id != NoId)
        {
            widget->setFocusPolicy(Qt::StrongFocus);
            controls_[control.Id] = widget;
        }
    }
}

// Dialog units from the font the controls are drawn with, at the screen's resolution, widened
// where a caption or the menu bar's menus would not fit.
void ControlPanel::PlaceControls(const DialogTemplate& layout)
{
    base_ = FittingBaseUnits(BaseUnitsOf(fontMetrics()), placed_, layout.Width, MenusWidth());
    templateArea_->resize(HorizontalPixels(layout.Width, base_),
                          VerticalPixels(layout.Height, base_));
    for (const PlacedControl& placed : placed_)
    {
        placed.Widget->setGeometry(ToPixels(placed.Rect, base_));
    }
}

// Every menu's title side by side, with the bar's margins.
int ControlPanel::MenusWidth() const
{
    menuBar_->resize(QWIDGETSIZE_MAX, menuBar_->sizeHint().height());
    int right = 0;
    for (QAction* menu : menuBar_->actions())
    {
        right = std::max(right, menuBar_->actionGeometry(menu).right() + 1);
    }
    return right + menuBar_->style()->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, menuBar_) +
           menuBar_->style()->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, menuBar_);
}

QWidget* ControlPanel::CreateControl(const DialogControl& control, QWidget* parent)
{
    const QString caption = QString::fromUtf8(control.Caption);
    switch (control.Kind)
    {
        case ControlKind::DefaultPushButton:
            return CreatePushButton(caption, true, parent);
        case ControlKind::PushButton:
            return CreatePushButton(caption, false, parent);
        case ControlKind::Trackbar:
            return CreateTrackbar(parent);
        case ControlKind::EditBox:
            return new QLineEdit(parent);
        case ControlKind::ListBox:
            return CreateListBox(parent);
        case ControlKind::GroupBox:
        {
            // Only a frame: kept beneath the controls it surrounds so they get the mouse.
            auto* group = new QGroupBox(caption, parent);
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            group->lower();
            return group;
        }
        case ControlKind::StaticText:
            break;
    }
    return CreateStaticText(caption, parent);
}

// The menu bar sits above the template's controls and takes no part in the tab order. It shows
// the program's commands; File > Quit ends the panel's run as Cancel does.
void ControlPanel::CreateMenus()
{
    menuBar_ = new QMenuBar(this);
    for (const MenuContents& contents : services_.Commands.Menus())
    {
        QMenu* menu = menuBar_->addMenu(contents.Title);
        for (QAction* entry : contents.Entries)
        {
            if (entry == nullptr)
            {
                menu->addSeparator();
            }
            else
            {
                menu->addAction(entry);
            }
        }
    }
    services_.Commands.Bind(Command::Quit, *this, [this] { reject(); });
}

// Status lines under the buttons, never tab stops: two for the picture, two for the scene's file.
void ControlPanel::CreateStatusLine()
{
    statusArea_ = new QWidget(this);
    auto* lines = new QVBoxLayout(statusArea_);
    lines->setContentsMargins(6, 2, 6, 4);
    lines->setSpacing(0);
    // Two lines each, whatever they say, so that the panel keeps its size; a long file name is
    // shortened rather than widening it.
    walkStatus_ = new PhraseLabel(2, statusArea_);
    lines->addWidget(walkStatus_);
    documentStatus_ = new PhraseLabel(2, statusArea_);  // names the scene's file
    documentStatus_->setMinimumWidth(1);
    lines->addWidget(documentStatus_);
}

// The panel grows by the menu bar above and the status line below the template's controls.
void ControlPanel::LayOut(const QSize& templateSize)
{
    const int width = templateSize.width();
    const int menuHeight = menuBar_->sizeHint().height();
    const int statusHeight = statusArea_->sizeHint().height();
    menuBar_->setGeometry(0, 0, width, menuHeight);
    templateArea_->move(0, menuHeight);
    statusArea_->setGeometry(0, menuHeight + templateSize.height(), width, statusHeight);
    setFixedSize(width, menuHeight + templateSize.height() + statusHeight);
}

void ControlPanel::BindControls()
{
    colourButton_ = Bound<QPushButton>(controls_, IdChooseColor);
    ratioSlider_ = Bound<QSlider>(controls_, IdRatio);
    branchList_ = Bound<QListWidget>(controls_, IdBranchList);
    iterationsBox_ = Bound<QLineEdit>(controls_, IdIterations);
    offsetSlider_ = Bound<QSlider>(controls_, IdOffset);
    scaleSlider_ = Bound<QSlider>(controls_, IdScale);
    angleSlider_ = Bound<QSlider>(controls_, IdAngle);
    axisZSlider_ = Bound<QSlider>(controls_, IdAxisZ);
    axisYSlider_ = Bound<QSlider>(controls_, IdAxisY);
    axisXSlider_ = Bound<QSlider>(controls_, IdAxisX);
    okButton_ = Bound<QPushButton>(controls_, IdOk);
}

void ControlPanel::ConnectHandlers()
{
    // A user action on a slider (key, wheel, click in the groove, every drag position) arrives
    // here with the new position already in place; releasing the thumb counts as one more move.
    // Positions the program sets itself emit neither signal, so they never read the sliders back.
    for (QSlider* slider : {angleSlider_, axisXSlider_, axisYSlider_, axisZSlider_, scaleSlider_,
                            offsetSlider_, ratioSlider_})
    {
        connect(slider, &QAbstractSlider::actionTriggered, this, &ControlPanel::ReadSliders);
        connect(slider, &QAbstractSlider::sliderReleased, this, &ControlPanel::ReadSliders);
        slider->installEventFilter(new SliderGestures(services_.Editor, slider));
    }
    // Fires for every change of the text, typed or set.
    connect(iterationsBox_, &QLineEdit::textChanged, this, &ControlPanel::OnIterationsChanged);
    connect(branchList_, &QListWidget::itemSelectionChanged, this, &ControlPanel::OnBranchSelected);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(Bound<QPushButton>(controls_, IdCancel), &QPushButton::clicked, this, &QDialog::reject);
    connect(Bound<QPushButton>(controls_, IdRandomize), &QPushButton::clicked, this,
            &ControlPanel::OnRandomize);
    connect(colourButton_, &QPushButton::clicked, this, &ControlPanel::OnChooseColor);
    connect(Bound<QPushButton>(controls_, IdAbout), &QPushButton::clicked, this,
            &ControlPanel::OnAbout);
}

QWidget* ControlPanel::Control(int id) const
{
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void ControlPanel::Initialise()
{
    setWindowIcon(icon_);
    SetSliderRanges();
    ShowIterations();
    AddListEntry(BaseRecord, QStringLiteral("base"));
    for (int n = 1; n <= 2; ++n)
    {
        std::string entry = "branch  ";
        entry[7] = static_cast<char>('0' + n);
        AddListEntry(n, QString::fromStdString(entry));
    }
    {
        // White base, base record current, first picture requested; no list entry is selected.
        const QScopedValueRollback ownEdit(ownEdit_, true);
        services_.Editor.Initialise();
    }
    ShowCurrentRecord();
    services_.Editor.Seed(services_.Clock.Now());
    // The panel works without a viewer; the ticks then draw into nothing. The viewer's gestures
    // go to the editor, which outlives the panel.
    services_.OpenViewer(services_.Editor);
    okButton_->setFocus();
}

// A swatch of the current record's colour on the "Choose Color" button. Without memory for it the
// button simply shows no swatch; everything else goes on.
// Made before the controls are placed, so that the button's caption is measured beside it.
void ControlPanel::PrepareSwatch(const DialogTemplate& layout)
{
    swatch_ = QImage(SwatchSide, SwatchSide, QImage::Format_RGB32);
    const auto button = std::ranges::find(layout.Controls, int{IdChooseColor}, &DialogControl::Id);
    const int side = ToPixels(button->Rect, BaseUnitsOf(fontMetrics())).height() / 2;
    colourButton_->setIconSize(QSize(side, side));
    UpdateSwatch();
}

void ControlPanel::UpdateSwatch()
{
    if (swatch_.isNull())
    {
        return;
    }
    const Vec3& colour = CurrentRecord().Colour;
    swatch_.fill(
        QColor(ChannelToByte(colour[0]), ChannelToByte(colour[1]), ChannelToByte(colour[2])));
    QPainter painter(&swatch_);
    painter.setPen(QPen(palette().color(QPalette::ButtonText), 4));
    painter.drawRect(swatch_.rect().adjusted(2, 2, -2, -2));
    painter.end();
    colourButton_->setIcon(QPixmap::fromImage(swatch_));
}

void ControlPanel::SetSliderRanges()
{
    const std::pair<QSlider*, int> ranges[] = {
        {angleSlider_, -1000}, {axisXSlider_, -1000},  {axisYSlider_, -1000}, {axisZSlider_, -1000},
        {scaleSlider_, 0},     {offsetSlider_, -1000}, {ratioSlider_, 0},
    };
    for (const auto& [slider, minimum] : ranges)
    {
        slider->setRange(minimum, 1000);
        // A page is a fifth of the range, as on the desktop the panel was designed for.
        slider->setPageStep((1000 - minimum) / 5);
    }
}

void ControlPanel::AddListEntry(int slot, const QString& name)
{
    auto* item = new QListWidgetItem(name);
    branchList_->addItem(item);
    // The list is sorted: keep the row it actually placed the entry at.
    slots_[slot] = {static_cast<int32_t>(branchList_->row(item)),
                    &services_.Editor.Scene().Records[slot]};
}

// The panel starts beside the viewer, which keeps its place, so that neither hides the other.
void ControlPanel::PlaceBesideViewer()
{
    const std::optional<QRect> viewer = services_.ViewerFrame();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!viewer || screen == nullptr)
    {
        return;
    }
    move(PlaceBeside(screen->availableGeometry(), *viewer, frameGeometry().size()));
}

int ControlPanel::RunModal()
{
    bool done = false;
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop,
            [&done, &loop]
            {
                done = true;
                loop.quit();
            });
    PlaceBesideViewer();
    show();
    // QCoreApplication::exit() ends this loop too (and every other), which is the viewer's way of
    // ending the program.
    loop.exec();
    hide();
    return done ? result() : -1;
}

void ControlPanel::ShowWalkStatus(const WalkProgress& progress)
{
    const QString text = WalkStatusText(progress, locale());
    if (text != walkStatus_->text())
    {
        walkStatus_->setText(text);
    }
}

QString ControlPanel::WalkStatus() const
{
    return walkStatus_->text();
}

void ControlPanel::ShowDocumentStatus(const QString& text)
{
    documentStatus_->setText(text);
}

QString ControlPanel::DocumentStatus() const
{
    return documentStatus_->text();
}

void ControlPanel::ShowCurrentRecord()
{
    const BranchParams& record = CurrentRecord();
    angleSlider_->setValue(ToPosition(record.Angle, AngleScale));
    ShowAxis(record.Axis);
    scaleSlider_->setValue(ToPosition(record.Scale, UnitScale));
    offsetSlider_->setValue(ToPosition(record.Offset, OffsetScale));
    ratioSlider_->setValue(ToPosition(record.Ratio, UnitScale));
    UpdateSwatch();
}

// Positions the program sets are no user action: the sliders are not read back.
void ControlPanel::ShowAxis(const Vec3& axis)
{
    axisXSlider_->setValue(ToPosition(axis[0], AxisScale));
    axisYSlider_->setValue(ToPosition(axis[1], AxisScale));
    axisZSlider_->setValue(ToPosition(axis[2], AxisScale));
}

// The program's own text is not the user's edit.
void ControlPanel::ShowIterations()
{
    const QSignalBlocker quiet(iterationsBox_);
    iterationsBox_->setText(QString::number(services_.Editor.Scene().Iterations));
}

// Marks the record being edited in the list; the list's own selection is not read back.
void ControlPanel::ShowSelection()
{
    const QSignalBlocker quiet(branchList_);
    branchList_->setCurrentRow(slots_[CurrentSlot()].ListIndex);
}

void ControlPanel::ShowRecordIfCurrent(const BranchParams* record)
{
    if (record == slots_[CurrentSlot()].Record)
    {
        ShowCurrentRecord();
    }
}

// Shows what a change reached: a gesture in the viewer, a new selection, "Randomize", an opened
// scene, an undo. The slider read, the colour choice and the Iterations box show what they must
// themselves, since showing the whole record could move a slider a step, and the box keeps the
// text as typed.
void ControlPanel::OnSceneChanged(const SceneChange& change)
{
    if (ownEdit_)
    {
        return;
    }
    if (change.Iterations)
    {
        ShowIterations();
    }
    if (change.Selection)
    {
        ShowSelection();
        ShowCurrentRecord();
        return;
    }
    for (int record = BaseRecord; record <= Branch2Record; ++record)
    {
        if (change.RecordChanged(record))
        {
            ShowRecordIfCurrent(slots_[record].Record);
        }
    }
}

// Reads sliderPosition(), not value(): while a user action is being applied, the moving slider's
// new position is not yet its value.
void ControlPanel::ReadSliders()
{
    {
        const QScopedValueRollback ownEdit(ownEdit_, true);
        services_.Editor.ApplySliders({ToRecord(angleSlider_->sliderPosition(), AngleScale),
                                       {ToRecord(axisXSlider_->sliderPosition(), AxisScale),
                                        ToRecord(axisYSlider_->sliderPosition(), AxisScale),
                                        ToRecord(axisZSlider_->sliderPosition(), AxisScale)},
                                       ToRecord(scaleSlider_->sliderPosition(), UnitScale),
                                       ToRecord(offsetSlider_->sliderPosition(), OffsetScale),
                                       ToRecord(ratioSlider_->sliderPosition(), UnitScale)});
    }
    // The axis sliders always show a unit axis once the user has moved any slider; re-showing the
    // others could move them a step.
    ShowAxis(CurrentRecord().Axis);
}

void ControlPanel::OnIterationsChanged()
{
    // The text stays as typed, even when the count in force differs from it.
    const QScopedValueRollback ownEdit(ownEdit_, true);
    services_.Editor.SetIterations(IterationsFromText(iterationsBox_->text().toStdString()));
}

void ControlPanel::OnBranchSelected()
{
    const QList<QListWidgetItem*> selected = branchList_->selectedItems();
    const int row = selected.isEmpty() ? -1 : branchList_->row(selected.first());
    for (int slot = 0; slot < static_cast<int>(slots_.size()); ++slot)
    {
        if (slots_[slot].ListIndex == row)
        {
            // Choosing what to edit changes nothing in the picture: no redraw.
            services_.Editor.Select(slot);
            return;
        }
    }
}

void ControlPanel::OnRandomize()
{
    services_.Editor.Randomize();
}

void ControlPanel::OnChooseColor()
{
    const Vec3& colour = CurrentRecord().Colour;
    const QColor initial(ChannelToByte(colour[0]), ChannelToByte(colour[1]),
                         ChannelToByte(colour[2]));
    const std::optional<QColor> chosen = chooseColour_(*this, initial);
    if (!chosen)
    {
        return;
    }
    {
        // The sliders are not touched: re-showing them could move one a step.
        const QScopedValueRollback ownEdit(ownEdit_, true);
        services_.Editor.SetCurrentColour({ByteToChannel(chosen->red()),
                                           ByteToChannel(chosen->green()),
                                           ByteToChannel(chosen->blue())});
    }
    UpdateSwatch();
}

QString ControlPanel::AboutText()
{
    return QStringLiteral(
               "Ramifex\n"
               "A 3D Iterated Function Set Generator\n"
               "By %1\n"
               "Last Updated 7 December 2026\n"
               "Left-Click and drag to rotate the object\n"
               "Right-Click and drag to move it\n"
               "Shift+Right-Click and drag to zoom in/out")
        .arg(QString::fromUtf8(AuthorCredit));
}

void ControlPanel::OnAbout()
{
    // Blocks the panel only: the viewer stays usable and the timer keeps drawing meanwhile.
    ShowPlainMessage(*this, QMessageBox::NoIcon, QCoreApplication::applicationName(), AboutText(),
                     Qt::WindowModal);
}

}  // namespace ramifex
