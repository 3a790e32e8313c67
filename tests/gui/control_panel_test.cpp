#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QStyleOptionButton>
#include <QToolButton>

#include "core/scene/quaternion.h"
#include "gui/panel_fixture.h"
#include "ui/panel/dialog_units.h"
#include "ui/panel/phrase_label.h"
#include "ui/panel/slider_scaling.h"

namespace ramifex::test
{
namespace
{

const int TabStops[] = {IdOk,    IdCancel,    IdAxisX,       IdAxisY,      IdAxisZ,
                        IdAngle, IdScale,     IdOffset,      IdIterations, IdBranchList,
                        IdRatio, IdRandomize, IdChooseColor, IdAbout};

QString WidgetCaption(QWidget* widget)
{
    if (auto* button = qobject_cast<QPushButton*>(widget))
    {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(widget))
    {
        return label->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget))
    {
        return group->title();
    }
    return {};
}

TEST_F(PanelTest, IsBuiltFromTheTemplateWithProportionalGeometry)
{
    EXPECT_EQ(panel->windowTitle(),
              QStringLiteral("Ramifex - By ") + QString::fromUtf8(AuthorCredit));
    const DialogTemplate& layout = ControlPanelTemplate();
    const DialogBaseUnits base = panel->BaseUnits();
    const DialogBaseUnits font = BaseUnitsOf(panel->fontMetrics());
    ASSERT_GT(font.CharWidth, 0);
    // The font's own units, widened only where a caption needs it.
    EXPECT_GE(base.CharWidth, font.CharWidth);
    EXPECT_EQ(base.CharHeight, font.CharHeight);
    // The template's controls keep their places between the menu bar and the status line.
    QWidget* area = panel->TemplateArea();
    EXPECT_EQ(area->size(), QSize(HorizontalPixels(157, base), VerticalPixels(236, base)));
    EXPECT_EQ(panel->MenuBar()->geometry().bottom() + 1, area->y());
    EXPECT_GT(panel->height(), area->geometry().bottom() + 1);
    // Every control of the table is there, where its dialog units put it, with its caption.
    for (const DialogControl& control : layout.Controls)
    {
        const QRect expected = ToPixels(control.Rect, base);
        QWidget* widget = control.Id != NoId ? panel->Control(control.Id)
                          : control.Kind == ControlKind::GroupBox
                              ? panel->findChild<QGroupBox*>()
                              : area->childAt(expected.topLeft() + QPoint(1, 1));
        ASSERT_NE(widget, nullptr) << control.Caption;
        EXPECT_EQ(widget->geometry(), expected) << control.Caption;
        EXPECT_EQ(WidgetCaption(widget), QString::fromUtf8(control.Caption));
    }
    EXPECT_TRUE(Button(IdOk)->isDefault());
    EXPECT_EQ(Slider(IdAngle)->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(Slider(IdAngle)->orientation(), Qt::Horizontal);
}

TEST_F(PanelTest, TabVisitsTheControlsInTemplateOrder)
{
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    ASSERT_EQ(QApplication::focusWidget(), Button(IdOk));
    for (int id : TabStops)
    {
        EXPECT_EQ(QApplication::focusWidget(), panel->Control(id)) << "expected id " << id;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget(), Button(IdOk));
}

TEST_F(PanelTest, InitialisationLeavesTheDocumentedState)
{
    EXPECT_FALSE(panel->windowIcon().isNull());
    EXPECT_EQ(viewerOpens, 1);
    const std::pair<int, int> ranges[] = {{IdAngle, -1000}, {IdAxisX, -1000}, {IdAxisY, -1000},
                                          {IdAxisZ, -1000}, {IdScale, 0},     {IdOffset, -1000},
                                          {IdRatio, 0}};
    for (const auto& [id, minimum] : ranges)
    {
        EXPECT_EQ(Slider(id)->minimum(), minimum) << id;
        EXPECT_EQ(Slider(id)->maximum(), 1000) << id;
        EXPECT_EQ(Slider(id)->value(), 0) << id;
    }
    EXPECT_EQ(IterationsBox()->text(), "5");
    EXPECT_EQ(scene.Iterations, 5);
    ASSERT_EQ(BranchList()->count(), 3);
    EXPECT_EQ(BranchList()->item(0)->text(), "base");
    EXPECT_EQ(BranchList()->item(1)->text(), "branch 1");
    EXPECT_EQ(BranchList()->item(2)->text(), "branch 2");
    EXPECT_TRUE(BranchList()->selectedItems().isEmpty());
    for (int slot = 0; slot < 3; ++slot)
    {
        EXPECT_EQ(panel->Slots()[slot].ListIndex, slot);
        EXPECT_EQ(panel->Slots()[slot].Record, &Record(slot));
    }
    EXPECT_EQ(panel->CurrentSlot(), 0);
    EXPECT_EQ(Record(BaseRecord).Colour, (Vec3{1.0, 1.0, 1.0}));
    EXPECT_EQ(Record(Branch1Record).Colour, (Vec3{0.0, 0.0, 0.0}));
    RandomGenerator replay;
    replay.Seed(ClockStart);
    RandomGenerator seeded = editor.Generator();
    EXPECT_EQ(seeded.Draw(), replay.Draw());
    EXPECT_EQ(panel->focusWidget(), Button(IdOk));
}

TEST_F(PanelTest, IterationsFollowTheTextByAtoiRulesAndClamp)
{
    const std::pair<QString, int> cases[] = {
        {"12abc", 12},
        {"  7", 7},
        {"0", 1},
        {"-5", 1},
        {"99", 30},
        {"30", 30},
        {"+3", 3},
        {"abc", 1},
        {"1 2", 1},
        {"99999999999999999999", 30},
        {"-99999999999999999999", 1},
        {"2147483648", 30},
    };
    QLineEdit* box = IterationsBox();
    for (const auto& [text, expected] : cases)
    {
        box->selectAll();
        QTest::keyClicks(box, text);
        EXPECT_EQ(scene.Iterations, expected) << text.toStdString();
        EXPECT_EQ(box->text(), text) << "the text is never rewritten";
        EXPECT_TRUE(panel->RedrawRequested());
        frames.Tick();
    }
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "");
    EXPECT_EQ(scene.Iterations, 1);
    // Text set by the program counts as a change too.
    frames.Tick();
    box->setText("17");
    EXPECT_EQ(scene.Iterations, 17);
    EXPECT_TRUE(panel->RedrawRequested());
}

TEST_F(PanelTest, AnySliderMoveFromAZeroAxisMakesTheAxisSliderJumpTo1000)
{
    QTest::keyClick(Slider(IdScale), Qt::Key_Right);
    EXPECT_EQ(Slider(IdScale)->value(), 1);
    EXPECT_EQ(Record(BaseRecord).Scale, 0.001);
    EXPECT_EQ(Record(BaseRecord).Axis, (Vec3{1.0, 0.0, 0.0}));
    EXPECT_EQ(Slider(IdAxisX)->value(), 1000);
    EXPECT_TRUE(panel->RedrawRequested());
}

TEST_F(PanelTest, AxisSlidersShowTheNormalisedAxisAfterAMove)
{
    Record(BaseRecord).Axis = {1.0, 1.0, 0.0};
    panel->ShowCurrentRecord();
    EXPECT_EQ(Slider(IdAxisX)->value(), 1000);
    EXPECT_EQ(Slider(IdAxisY)->value(), 1000);
    QTest::keyClick(Slider(IdAngle), Qt::Key_Right);
    EXPECT_EQ(Record(BaseRecord).Axis, (Vec3{0.7071067811865475, 0.7071067811865475, 0.0}));
    EXPECT_EQ(Slider(IdAxisX)->value(), 707);
    EXPECT_EQ(Slider(IdAxisY)->value(), 707);
    EXPECT_EQ(Slider(IdAxisZ)->value(), 0);
}

TEST_F(PanelTest, ShowingARecordTruncatesAndNeverReadsBack)
{
    BranchParams& base = Record(BaseRecord);
    base = {-100.0, {0.5, -0.2509, 0.9999}, 0.7777, -3.456, {0.1, 0.2, 0.3}, 0.1239};
    const BranchParams before = base;
    panel->ShowCurrentRecord();
    EXPECT_EQ(Slider(IdAngle)->value(), -555);
    EXPECT_EQ(Slider(IdAxisX)->value(), 500);
    EXPECT_EQ(Slider(IdAxisY)->value(), -250);
    EXPECT_EQ(Slider(IdAxisZ)->value(), 999);
    EXPECT_EQ(Slider(IdScale)->value(), 777);
    EXPECT_EQ(Slider(IdOffset)->value(), -345);
    EXPECT_EQ(Slider(IdRatio)->value(), 123);
    // Positions set by the program are not user moves: the record stays as it was, unnormalised.
    EXPECT_EQ(base.Axis, before.Axis);
    EXPECT_EQ(base.Angle, before.Angle);
    EXPECT_FALSE(panel->RedrawRequested());
    for (const auto& [angle, position] :
         {std::pair{100.0, 555}, {180.0, 1000}, {90.0, 500}, {-180.0, -1000}})
    {
        base.Angle = angle;
        panel->ShowCurrentRecord();
        EXPECT_EQ(Slider(IdAngle)->value(), position) << angle;
    }
}

TEST_F(PanelTest, ReadingAndReshowingCanMoveTheAngleOneStepTowardZero)
{
    Record(BaseRecord).Angle = 100.0;
    panel->ShowCurrentRecord();
    ASSERT_EQ(Slider(IdAngle)->value(), 555);
    QTest::keyClick(Slider(IdRatio), Qt::Key_Right);
    EXPECT_EQ(Record(BaseRecord).Angle, 99.89999999999999);
    EXPECT_EQ(Record(BaseRecord).Ratio, 0.001);
    panel->ShowCurrentRecord();
    EXPECT_EQ(Slider(IdAngle)->value(), 554);
}

TEST_F(PanelTest, EveryDragPositionReadsAllSevenSliders)
{
    QSlider* offset = Slider(IdOffset);
    Record(BaseRecord).Angle = 45.0;  // not shown: the sliders still say 0
    const QPoint start = ThumbCentre(offset);
    QTest::mousePress(offset, Qt::LeftButton, {}, start);
    int lastPosition = offset->value();
    for (int step = 1; step <= 4; ++step)
    {
        QTest::mouseMove(offset, start + QPoint(8 * step, 0));
        ASSERT_GT(offset->sliderPosition(), lastPosition) << "step " << step;
        lastPosition = offset->sliderPosition();
        EXPECT_EQ(Record(BaseRecord).Offset, lastPosition * 0.01) << "step " << step;
        EXPECT_EQ(Record(BaseRecord).Angle, 0.0) << "all sliders are read, the angle included";
        EXPECT_TRUE(panel->RedrawRequested());
        frames.Tick();
    }
    QTest::mouseRelease(offset, Qt::LeftButton, {}, start + QPoint(32, 0));
    EXPECT_EQ(offset->value(), lastPosition);
    EXPECT_EQ(Record(BaseRecord).Offset, lastPosition * 0.01);
}

TEST_F(PanelTest, KeysMoveByStepPageAndToTheEnds)
{
    QSlider* angle = Slider(IdAngle);
    QTest::keyClick(angle, Qt::Key_End);
    EXPECT_EQ(Record(BaseRecord).Angle, 180.0);
    QTest::keyClick(angle, Qt::Key_PageDown);
    EXPECT_EQ(angle->value(), 600);  // a page is a fifth of the range
    QTest::keyClick(angle, Qt::Key_Home);
    EXPECT_EQ(Record(BaseRecord).Angle, -180.0);
}

TEST_F(PanelTest, SelectingARecordShowsItWithoutARedraw)
{
    Record(Branch2Record) = {90.0, {0.0, 0.0, 1.0}, 0.5, 2.0, {}, 0.25};
    ClickListRow(2);
    EXPECT_EQ(panel->CurrentSlot(), 2);
    EXPECT_EQ(Slider(IdAngle)->value(), 500);
    EXPECT_EQ(Slider(IdAxisZ)->value(), 1000);
    EXPECT_EQ(Slider(IdScale)->value(), 500);
    EXPECT_EQ(Slider(IdOffset)->value(), 200);
    EXPECT_EQ(Slider(IdRatio)->value(), 250);
    EXPECT_FALSE(panel->RedrawRequested());

    QTest::keyClick(BranchList(), Qt::Key_Up);
    EXPECT_EQ(panel->CurrentSlot(), 1);
    EXPECT_FALSE(panel->RedrawRequested());

    // Ctrl+click takes the selection away; with nothing selected nothing changes.
    const QRect cell = BranchList()->visualItemRect(BranchList()->item(1));
    QTest::mouseClick(BranchList()->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
    ASSERT_TRUE(BranchList()->selectedItems().isEmpty());
    EXPECT_EQ(panel->CurrentSlot(), 1);

    // Slider moves now edit the selected record, not the base.
    QTest::keyClick(Slider(IdScale), Qt::Key_Right);
    EXPECT_EQ(Record(Branch1Record).Scale, 0.001);
    EXPECT_EQ(Record(BaseRecord).Scale, 0.0);
}

TEST_F(PanelTest, RandomizeRewritesAllRecordsAndShowsTheCurrentOneAsDrawn)
{
    ClickListRow(1);
    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);

    SceneState expected;
    RandomGenerator replay;
    replay.Seed(ClockStart);
    RandomizeRecords(expected, replay);
    for (int index = 0; index < 3; ++index)
    {
        EXPECT_EQ(Record(index).Angle, expected.Records[index].Angle) << index;
        EXPECT_EQ(Record(index).Axis, expected.Records[index].Axis) << index;
        EXPECT_EQ(Record(index).Colour, expected.Records[index].Colour) << index;
    }
    const BranchParams& shown = Record(Branch1Record);
    EXPECT_EQ(Slider(IdAngle)->value(), ToPosition(shown.Angle, AngleScale));
    EXPECT_EQ(Slider(IdAxisX)->value(), ToPosition(shown.Axis[0], AxisScale));
    EXPECT_EQ(Slider(IdAxisY)->value(), ToPosition(shown.Axis[1], AxisScale));
    EXPECT_EQ(Slider(IdOffset)->value(), ToPosition(shown.Offset, OffsetScale));
    EXPECT_TRUE(panel->RedrawRequested());
}

TEST_F(PanelTest, ChosenColoursConvertByTruncationAndTheReciprocalConstant)
{
    std::vector<QColor> offered;
    std::optional<QColor> answer = QColor(33, 66, 99);
    panel->SetColourChooser(
        [&](QWidget& owner, const QColor& initial)
        {
            EXPECT_EQ(&owner, panel.get());
            offered.push_back(initial);
            return answer;
        });
    Record(BaseRecord).Colour = {0.5, 0.25, 0.0};
    QPushButton* choose = Button(IdChooseColor);
    QTest::mouseClick(choose, Qt::LeftButton);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], QColor(127, 63, 0));
    EXPECT_EQ(Record(BaseRecord).Colour[0], 0.12941176470588234);
    EXPECT_EQ(Record(BaseRecord).Colour[1], 66 * 0.00392156862745098);
    EXPECT_EQ(Record(BaseRecord).Colour[2], 99 * 0.00392156862745098);
    EXPECT_TRUE(panel->RedrawRequested());
    EXPECT_EQ(Slider(IdAxisX)->value(), 0) << "the sliders are not touched";
    // The button's swatch follows the record, byte for byte as the chooser would reopen it.
    const QImage swatch = choose->icon().pixmap(48).toImage();
    EXPECT_EQ(swatch.pixelColor(swatch.width() / 2, swatch.height() / 2), QColor(32, 65, 99));

    frames.Tick();
    answer.reset();  // cancelled
    QTest::mouseClick(choose, Qt::LeftButton);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[1].red(), 32) << "33 / 255 reopens one step lower";
    EXPECT_EQ(Record(BaseRecord).Colour[0], 0.12941176470588234);
    EXPECT_FALSE(panel->RedrawRequested());
}

TEST_F(PanelTest, NavigationTurnsRecordsAndTheSlidersFollowOnlyTheShownOne)
{
    RandomGenerator rng;
    RandomizeRecords(scene, rng);
    ClickListRow(2);
    const auto turned = [](BranchParams record)
    {
        RotateByDrag(10, -5, record);
        return record;
    };

    // Shift+left-drag: the record being edited turns and the sliders follow.
    const BranchParams branch2 = turned(Record(Branch2Record));
    editor.RotateCurrentRecord(10, -5);
    EXPECT_EQ(Record(Branch2Record).Angle, branch2.Angle);
    EXPECT_EQ(Record(Branch2Record).Axis, branch2.Axis);
    EXPECT_EQ(Slider(IdAngle)->value(), ToPosition(branch2.Angle, AngleScale));
    EXPECT_EQ(Slider(IdAxisY)->value(), ToPosition(branch2.Axis[1], AxisScale));
    EXPECT_TRUE(panel->RedrawRequested());

    // Left-drag: the base turns; the sliders keep showing "branch 2".
    frames.Tick();
    const BranchParams base = turned(Record(BaseRecord));
    editor.RotateBaseRecord(10, -5);
    EXPECT_EQ(Record(BaseRecord).Angle, base.Angle);
    EXPECT_EQ(Slider(IdAngle)->value(), ToPosition(branch2.Angle, AngleScale));
    EXPECT_TRUE(panel->RedrawRequested());

    // With the base shown, a left-drag moves the sliders.
    ClickListRow(0);
    const BranchParams baseAgain = turned(Record(BaseRecord));
    editor.RotateBaseRecord(10, -5);
    EXPECT_EQ(Slider(IdAngle)->value(), ToPosition(baseAgain.Angle, AngleScale));
    EXPECT_EQ(Slider(IdAxisX)->value(), ToPosition(baseAgain.Axis[0], AxisScale));
}

TEST_F(PanelTest, MovingTheViewAddsToTheOffset)
{
    // What the viewer passes for a right-drag of (+10, -5)...
    editor.MoveView(10 * 0.01, -5 * -0.01, 0.0);
    EXPECT_DOUBLE_EQ(scene.ViewOffset[0], 0.1);
    EXPECT_DOUBLE_EQ(scene.ViewOffset[1], 0.05);
    EXPECT_DOUBLE_EQ(scene.ViewOffset[2], -10.0);
    EXPECT_TRUE(panel->RedrawRequested());
    // ...and for the same drag with Shift.
    scene.ViewOffset = {0.0, 0.0, -10.0};
    editor.MoveView(10 * 0.01, 0.0, -5 * 0.01);
    EXPECT_DOUBLE_EQ(scene.ViewOffset[0], 0.1);
    EXPECT_DOUBLE_EQ(scene.ViewOffset[1], 0.0);
    EXPECT_DOUBLE_EQ(scene.ViewOffset[2], -10.05);

    frames.Tick();
    editor.RequestRedraw();
    EXPECT_TRUE(panel->RedrawRequested());
}

// The status lines break only between phrases and never run past the panel's edge.
TEST_F(PanelTest, StatusLinesBreakBetweenPhrases)
{
    const QString longName(200, u'n');
    const struct
    {
        QString Text;
        QStringList Lines;  // empty: as many as it takes, each ending a phrase
    } cases[] = {
        {"1,737,243 spheres drawn, 1,072,004,580 left out as unseen \u00B7 6.2 s", {}},
        {"Drawing 37% \u00B7 about 49 min left", {}},
        {"Last session: tree-of-many-branches.ramifex.json, unsaved changes", {}},
        {"a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z, "
         "a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z",
         {}},
        {longName + ": unsaved changes", {"\u2026", "unsaved changes"}},
    };
    const QList<PhraseLabel*> statusLines = panel->findChildren<PhraseLabel*>();
    ASSERT_EQ(statusLines.size(), 2);
    for (const auto& c : cases)
    {
        panel->ShowDocumentStatus(c.Text);
        for (PhraseLabel* line : statusLines)
        {
            line->setText(c.Text);
            const QStringList shown = line->Lines();
            ASSERT_LE(shown.size(), 2) << c.Text.toStdString();
            for (const QString& text : shown)
            {
                EXPECT_LE(line->fontMetrics().horizontalAdvance(text), line->contentsRect().width())
                    << text.toStdString();
            }
            if (!c.Lines.isEmpty())
            {
                EXPECT_TRUE(shown[0].contains(c.Lines[0])) << shown[0].toStdString();
                EXPECT_EQ(shown.mid(1), c.Lines.mid(1));
            }
            else if (!shown.join(u' ').contains(u'\u2026'))
            {
                EXPECT_EQ(shown.join(u' '), c.Text);
                EXPECT_TRUE(shown[0].endsWith(u',') || shown[0].endsWith(u'\u00B7') ||
                            shown.size() == 1)
                    << shown[0].toStdString();
            }
        }
    }
}

// Whatever sans-serif the desktop puts in place of the template's font, every caption shows whole
// and the menu bar shows every menu. The scale factor comes from the environment: CTest runs this
// at 1, 1.25 and 2.
TEST_F(PanelHarness, EveryCaptionAndMenuFitsWithCommonFonts)
{
    const QString dialogFamily = QString::fromUtf8(ControlPanelTemplate().FontFamily);
    for (const char* family : {"DejaVu Sans", "Noto Sans", "Liberation Sans"})
    {
        SCOPED_TRACE(family);
        QFont::removeSubstitutions(dialogFamily);
        QFont::insertSubstitution(dialogFamily, QString::fromUtf8(family));
        panel = MakePanel([](Navigator&) { return true; });
        panel->Initialise();
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        ASSERT_EQ(QFontInfo(panel->font()).family(), family) << "scripts/install-deps installs it";
        for (QWidget* control : panel->TemplateArea()->findChildren<QWidget*>())
        {
            const QString caption = WidgetCaption(control);
            int room = control->width();
            int needed = control->fontMetrics().horizontalAdvance(caption);
            if (auto* button = qobject_cast<QPushButton*>(control))
            {
                QStyleOptionButton option;
                option.initFrom(button);
                room = button->style()
                           ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                           .width();
                needed += button->icon().isNull() ? 0 : button->iconSize().width();
            }
            EXPECT_LT(needed, room) << caption.toStdString();
        }
        QMenuBar* bar = panel->MenuBar();
        for (QAction* menu : bar->actions())
        {
            EXPECT_TRUE(bar->rect().contains(bar->actionGeometry(menu)))
                << menu->text().toStdString();
        }
        auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        EXPECT_TRUE(more == nullptr || !more->isVisible());
    }
}

}  // namespace
}  // namespace ramifex::test
