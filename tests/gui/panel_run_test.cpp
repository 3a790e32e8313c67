#include <QColorDialog>
#include <QMessageBox>

#include "gui/panel_fixture.h"

namespace ramifex::test
{
namespace
{

// Stands in for the viewer: another top-level window, shown, that must stay usable.
class ClickCounter final : public QWidget
{
public:
    ClickCounter()
    {
        resize(200, 100);
        show();
    }

    int Clicks = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++Clicks; }
};

// Goes through the window system's event path, where windows blocked by a modal dialog lose their
// input; a click sent straight to the widget would skip that check.
void ClickThroughWindowSystem(QWidget& widget)
{
    QTest::mouseClick(widget.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
}

class PanelRunTest : public PanelHarness
{
protected:
    void SetUp() override
    {
        panel = MakePanel([](Navigator&) { return true; });
    }

    // Runs the panel modally, as the program does, with `whileRunning` called from inside its
    // loop, once it is on screen.
    int RunWith(std::function<void()> whileRunning)
    {
        Later(
            [this, whileRunning]
            {
                EXPECT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
                whileRunning();
            });
        return frames.Run(*panel);
    }

    void ExpectEnded() const
    {
        EXPECT_FALSE(panel->isVisible());
        EXPECT_FALSE(frames.Timer().isActive());
    }
};

TEST_F(PanelRunTest, OkCancelEscapeAndTheCloseBoxEndTheRun)
{
    const std::pair<std::function<void()>, int> endings[] = {
        {[this] { QTest::mouseClick(Button(IdOk), Qt::LeftButton); }, QDialog::Accepted},
        {[this] { QTest::mouseClick(Button(IdCancel), Qt::LeftButton); }, QDialog::Rejected},
        {[this] { QTest::keyClick(panel.get(), Qt::Key_Escape); }, QDialog::Rejected},
        {[this] { panel->close(); }, QDialog::Rejected},
    };
    for (const auto& [end, result] : endings)
    {
        panel = MakePanel([](Navigator&) { return true; });
        EXPECT_EQ(RunWith(end), result);
        ExpectEnded();
    }
}

TEST_F(PanelRunTest, EnterInTheIterationsBoxEndsTheRunThroughOk)
{
    const int result = RunWith(
        [this]
        {
            QLineEdit* box = IterationsBox();
            QTest::mouseClick(box, Qt::LeftButton);
            box->selectAll();
            QTest::keyClicks(box, "7");
            QTest::keyClick(box, Qt::Key_Return);
        });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(scene.Iterations, 7);
    ExpectEnded();
}

TEST_F(PanelRunTest, EnterOnTheListOrASliderEndsTheRunThroughOk)
{
    EXPECT_EQ(RunWith(
                  [this]
                  {
                      BranchList()->setFocus();
                      QTest::keyClick(BranchList(), Qt::Key_Enter);
                  }),
              QDialog::Accepted);

    auto second = MakePanel([](Navigator&) { return true; });
    panel.swap(second);
    EXPECT_EQ(RunWith(
                  [this]
                  {
                      Slider(IdAngle)->setFocus();
                      QTest::keyClick(Slider(IdAngle), Qt::Key_Return);
                  }),
              QDialog::Accepted);
}

TEST_F(PanelRunTest, EnterOnAnotherFocusedButtonPressesThatButton)
{
    bool stillRunning = false;
    const int result = RunWith(
        [&]
        {
            Button(IdRandomize)->setFocus();
            QTest::keyClick(Button(IdRandomize), Qt::Key_Return);
            stillRunning = panel->isVisible();
            EXPECT_NE(Record(Branch1Record).Scale, 0.0) << "Randomize ran";
            QTest::mouseClick(Button(IdOk), Qt::LeftButton);
        });
    EXPECT_TRUE(stillRunning);
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(PanelRunTest, ApplicationExitEndsTheRunAsAQuit)
{
    EXPECT_EQ(RunWith([] { QCoreApplication::exit(0); }), -1);
    ExpectEnded();
    // The exit stays pending for every loop started later; an application loop clears it, so
    // tests that follow in this process start afresh.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

TEST_F(PanelRunTest, TheTimerDrivesTheFrameTickAndOtherWindowsStayUsable)
{
    ClickCounter viewer;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    RunWith(
        [&]
        {
            EXPECT_TRUE(frames.Timer().isActive());
            EXPECT_EQ(frames.Timer().interval(), 50);
            // The initial redraw request makes the first tick clear and restart the picture.
            EXPECT_TRUE(QTest::qWaitFor([&] { return surface.Count("clear") >= 1; }, 10000));
            EXPECT_FALSE(panel->RedrawRequested());
            ClickThroughWindowSystem(viewer);
            EXPECT_EQ(viewer.Clicks, 1) << "the running panel must not block the viewer";
            panel->accept();
        });
}

// A panel with a walk that cannot finish during the test, so every tick presents.
class NestedLoopTest : public PanelRunTest
{
protected:
    void GrowLargeTree()
    {
        IterationsBox()->setText("24");
        QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return surface.Count("present") >= 1; }, 10000));
    }

    // Waits inside a nested loop until a few more frames have been presented.
    bool TicksContinue()
    {
        const long before = surface.Count("present");
        return QTest::qWaitFor([&] { return surface.Count("present") >= before + 3; }, 10000);
    }
};

TEST_F(NestedLoopTest, TheAboutBoxIsWindowModalAndDrawingGoesOn)
{
    ClickCounter viewer;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    RunWith(
        [&]
        {
            GrowLargeTree();
            Later(
                [&]
                {
                    auto* box = VisibleTopLevel<QMessageBox>();
                    ASSERT_NE(box, nullptr);
                    EXPECT_EQ(box->windowTitle(), QCoreApplication::applicationName());
                    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
                    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
                    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
                    EXPECT_TRUE(TicksContinue());
                    ClickThroughWindowSystem(viewer);
                    EXPECT_EQ(viewer.Clicks, 1) << "the About box must not block the viewer";
                    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                });
            QTest::mouseClick(Button(IdAbout), Qt::LeftButton);
            EXPECT_EQ(VisibleTopLevel<QMessageBox>(), nullptr);
            panel->accept();
        });
}

TEST_F(NestedLoopTest, TheRealColourDialogStartsAtTheRecordColourAndDrawingGoesOn)
{
    RunWith(
        [&]
        {
            GrowLargeTree();
            Record(BaseRecord).Colour = {0.5, 0.25, 1.0};
            Later(
                [&]
                {
                    auto* dialog = VisibleTopLevel<QColorDialog>();
                    ASSERT_NE(dialog, nullptr);
                    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
                    EXPECT_EQ(dialog->currentColor(), QColor(127, 63, 255));
                    EXPECT_TRUE(TicksContinue());
                    dialog->setCurrentColor(QColor(33, 0, 255));
                    dialog->accept();
                });
            QTest::mouseClick(Button(IdChooseColor), Qt::LeftButton);
            EXPECT_EQ(Record(BaseRecord).Colour[0], 0.12941176470588234);
            EXPECT_EQ(Record(BaseRecord).Colour[1], 0.0);
            panel->accept();
        });
}

}  // namespace
}  // namespace ramifex::test
