#pragma once

#include <QAction>
#include <QKeyCombination>
#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace ramifex
{

// The menus of the panel's menu bar, in its order.
enum class Menu
{
    File,
    Edit,
    View,
    Examples,
    Animation,
    Count  // not a menu: how many there are
};

// Every command of the program. Its menu, place, text and keys are in the registry's table
// (command_registry.cpp); what it does is bound by the code it belongs to.
enum class Command
{
    Open,
    OpenRecent,
    RestoreLastSession,
    Save,
    SaveAs,
    ExportPicture,
    ExportGeometry,
    Quit,
    Undo,
    Redo,
    Variations,
    TurnObjectLeft,
    TurnObjectRight,
    TurnObjectUp,
    TurnObjectDown,
    TurnBranchLeft,
    TurnBranchRight,
    TurnBranchUp,
    TurnBranchDown,
    ZoomIn,
    ZoomOut,
    ResetView,
    FrameWholeTree,
    FrameAfterRandomize,
    StopDrawing,
    Examples,
    ShowAnimation,
    Turntable,
    PlayAnimation,
    ExportVideo,
    Count  // not a command: how many there are
};

// One menu as the menu bar shows it: its title and its commands in order, a null entry standing
// for the line between two groups.
struct MenuContents
{
    QString Title;
    QList<QAction*> Entries;
};

// The program's commands: one QAction each, with its text, keys and enabled state, which the
// panel's menu bar shows and the keys of both windows trigger. A command shows nowhere, and no key
// reaches it, until the code it belongs to binds what it does; it is gone again with that code.
// Commands run one at a time: while one runs (it may wait in a dialog's event loop) or any modal
// window is open, every command does nothing, from either window.
class CommandRegistry final : public QObject
{
    Q_OBJECT

public:
    // Needs the application object: the desktop names some of the keys.
    CommandRegistry();
    ~CommandRegistry() override;

    // The command's action: its code may change its enabled state.
    QAction& Action(Command command);
    // Names the command after what it would act on: "Undo" becomes "Undo Randomize"; an empty
    // name gives the command's own text back.
    void NameAfter(Command command, const QString& name);
    // What the command does, for as long as `owner` lives; binding again replaces it.
    void Bind(Command command, QObject& owner, std::function<void()> run);

    // Every menu, in the menu bar's order.
    std::vector<MenuContents> Menus() const;

    // A key pressed in the viewer, a window of its own that takes no part in the toolkit's
    // shortcuts: the View menu's keys (the keypad's count as the main ones, and + and - whether
    // or not Shift typed them), then the shortcuts of every command. Returns whether a command
    // that is shown and enabled has the key.
    bool TriggerViewerKey(QKeyCombination keys);

    // Whether a command triggered now would run.
    bool Idle() const;

private:
    QAction* Find(QKeyCombination keys) const;

    std::array<QAction*, static_cast<size_t>(Command::Count)> actions_{};
    std::array<QMetaObject::Connection, static_cast<size_t>(Command::Count)> bindings_{};
    std::array<const QObject*, static_cast<size_t>(Command::Count)> owners_{};
    bool running_ = false;
};

}  // namespace ramifex
