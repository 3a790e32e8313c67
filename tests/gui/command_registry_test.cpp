#include <QAction>
#include <QDialog>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "ui/commands/command_registry.h"

namespace ramifex
{
namespace
{

// Every command has its row in the table. A command shows and takes its keys only while the code it
// belongs to is bound, the latest binding being the one that counts; the View menu's keys reach it
// in the viewer from the keypad too.
TEST(CommandRegistry, ACommandShowsAndRunsWhileItsCodeIsBound)
{
    CommandRegistry commands;
    for (int command = 0; command < static_cast<int>(Command::Count); ++command)
    {
        EXPECT_FALSE(commands.Action(static_cast<Command>(command)).text().isEmpty())
            << "a row of the table for command " << command;
    }
    QAction& save = commands.Action(Command::Save);
    EXPECT_FALSE(save.isVisible());
    EXPECT_FALSE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_S));

    int first = 0;
    int second = 0;
    auto firstOwner = std::make_unique<QObject>();
    auto secondOwner = std::make_unique<QObject>();
    commands.Bind(Command::Save, *firstOwner, [&] { ++first; });
    EXPECT_TRUE(save.isVisible());
    EXPECT_TRUE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_S));
    commands.Bind(Command::Save, *secondOwner, [&] { ++second; });
    firstOwner.reset();
    EXPECT_TRUE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_S));
    save.setEnabled(false);
    EXPECT_FALSE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_S));
    save.setEnabled(true);
    secondOwner.reset();
    EXPECT_FALSE(save.isVisible());
    EXPECT_FALSE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);

    int zooms = 0;
    commands.Bind(Command::ZoomIn, commands, [&] { ++zooms; });
    EXPECT_TRUE(commands.TriggerViewerKey(Qt::KeypadModifier | Qt::Key_Plus));
    EXPECT_TRUE(commands.TriggerViewerKey(Qt::SHIFT | Qt::Key_Plus));
    EXPECT_FALSE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_Plus));
    EXPECT_EQ(zooms, 2);

    commands.NameAfter(Command::Undo, QStringLiteral("Randomize"));
    EXPECT_EQ(commands.Action(Command::Undo).text(), "&Undo Randomize");
    commands.NameAfter(Command::ResetView, QStringLiteral("Now"));
    EXPECT_EQ(commands.Action(Command::ResetView).text(), "Reset View Now\tHome");
    commands.NameAfter(Command::Undo, {});
    EXPECT_EQ(commands.Action(Command::Undo).text(), "&Undo");
}

// A command that waits in a loop of its own (a dialog), and any modal window, hold every command
// back, also one triggered from that loop.
TEST(CommandRegistry, NothingRunsWhileACommandRunsOrAModalWindowIsOpen)
{
    CommandRegistry commands;
    int undone = 0;
    commands.Bind(Command::Undo, commands, [&] { ++undone; });
    bool undoneMeanwhile = true;
    commands.Bind(Command::Open, commands,
                  [&]
                  {
                      commands.Action(Command::Undo).trigger();
                      undoneMeanwhile = undone != 0;
                  });
    commands.Action(Command::Open).trigger();
    EXPECT_FALSE(undoneMeanwhile);

    QWidget owner;
    owner.show();
    QDialog dialog(&owner);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(undone, 0);
    dialog.hide();
    EXPECT_TRUE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(undone, 1);
}

}  // namespace
}  // namespace ramifex
