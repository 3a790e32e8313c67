#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "app/frame_loop.h"
#include "core/render/tree_renderer.h"
#include "support/recording_surface.h"
#include "support/test_clocks.h"
#include "ui/commands/command_registry.h"
#include "ui/panel/control_panel.h"

namespace ramifex::test
{

// Runs `action` from inside the next event loop that starts, such as a nested modal loop.
inline void Later(std::function<void()> action)
{
    QTimer::singleShot(0, std::move(action));
}

// The visible window of this kind, such as a message box, or nullptr.
template <typename Window>
Window* VisibleTopLevel()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
    {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
        {
            return window;
        }
    }
    return nullptr;
}

// Drags a file over the target and drops it there, as the window system delivers it; returns
// whether the target took the drop.
inline bool DropFile(QObject& target, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted())
    {
        return false;
    }
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&target, &drop);
    return drop.isAccepted();
}

// The editor, renderer, fake clock, commands and frame loop a panel works with; the panel itself is
// made by each test.
class PanelHarness : public ::testing::Test
{
protected:
    static constexpr uint32_t ClockStart = 4242;

    std::unique_ptr<ControlPanel> MakePanel(std::function<bool(Navigator&)> openViewer)
    {
        return std::make_unique<ControlPanel>(
            PanelServices{editor, clock, commands, std::move(openViewer)});
    }

    QSlider* Slider(int id) const { return qobject_cast<QSlider*>(panel->Control(id)); }
    QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(panel->Control(id)); }
    QLineEdit* IterationsBox() const
    {
        return qobject_cast<QLineEdit*>(panel->Control(IdIterations));
    }
    QListWidget* BranchList() const
    {
        return qobject_cast<QListWidget*>(panel->Control(IdBranchList));
    }
    BranchParams& Record(int index) { return scene.Records[index]; }

    // Selects a list entry by clicking it, as the user does.
    void ClickListRow(int row)
    {
        QListWidget* list = BranchList();
        const QRect cell = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Centre of the slider's thumb, in the slider's coordinates.
    static QPoint ThumbCentre(QSlider* slider)
    {
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = slider->orientation();
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = slider->sliderPosition();
        option.sliderValue = slider->value();
        option.subControls = QStyle::SC_SliderHandle;
        return slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .center();
    }

    SceneEditor editor;
    SceneState& scene = editor.SceneForWalk();  // for setting up and reading back
    RecordingSurface surface;
    SteppingClock clock{ClockStart};
    TreeRenderer renderer{scene, surface, clock};
    CommandRegistry commands;
    FrameLoop frames{editor, renderer, commands};
    int viewerOpens = 0;
    std::unique_ptr<ControlPanel> panel;
};

class PanelTest : public PanelHarness
{
protected:
    // A panel that has run its initialisation, on screen, with no frame ticks but those the test
    // makes, so that only the test decides when a tick clears the redraw flag.
    void SetUp() override
    {
        panel = MakePanel(
            [this](Navigator&)
            {
                ++viewerOpens;
                return true;
            });
        panel->Initialise();
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        frames.Tick();  // clears the initial redraw request
        ASSERT_FALSE(panel->RedrawRequested());
    }
};

}  // namespace ramifex::test
