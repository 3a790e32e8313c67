#pragma once

#include <QApplication>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "app/viewer_app.h"
#include "ui/panel/control_panel.h"

namespace ramifex::test
{

// The program's panel while it is on screen; none once its run has ended.
inline ControlPanel* VisiblePanel()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
    {
        if (auto* panel = qobject_cast<ControlPanel*>(widget); panel && panel->isVisible())
        {
            return panel;
        }
    }
    return nullptr;
}

// Waits for the viewer to be on screen next to the panel.
inline ControlPanel* WaitForBothWindows(ViewerApp& app)
{
    EXPECT_TRUE(QTest::qWaitFor(
        [&]
        {
            QWindow* window = app.Viewer().Window();
            return window != nullptr && window->isExposed() && VisiblePanel() != nullptr;
        },
        10000));
    return VisiblePanel();
}

}  // namespace ramifex::test
