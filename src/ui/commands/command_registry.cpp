#include "ui/commands/command_registry.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QScopedValueRollback>
#include <algorithm>
#include <iterator>

namespace ramifex
{
namespace
{

// Where a command shows, what it says and which keys trigger it.
struct CommandShape
{
    Command Id;
    Menu In;
    const char* Text;
    // A line above it in its menu.
    bool StartsGroup = false;
    // The desktop's keys for it, and keys of its own.
    QKeySequence::StandardKey Standard = QKeySequence::UnknownKey;
    QList<QKeyCombination> Keys = {};
    // A key that works in the viewer alone, shown after the text rather than set as a shortcut:
    // in the panel the sliders, the list and the text box keep it.
    QKeyCombination ViewerKey = Qt::Key_unknown;
};

// In menu order.
const CommandShape Commands[] = {
    {.Id = Command::Open, .In = Menu::File, .Text = "&Open\u2026", .Standard = QKeySequence::Open},
    {.Id = Command::OpenRecent, .In = Menu::File, .Text = "Open &Recent"},
    {.Id = Command::RestoreLastSession,
     .In = Menu::File,
     .Text = "Restore &Last Session",
     .Keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_R}},
    {.Id = Command::Save, .In = Menu::File, .Text = "&Save", .Standard = QKeySequence::Save},
    {.Id = Command::SaveAs,
     .In = Menu::File,
     .Text = "Save &As\u2026",
     .Standard = QKeySequence::SaveAs},
    {.Id = Command::ExportPicture,
     .In = Menu::File,
     .Text = "&Export Picture\u2026",
     .StartsGroup = true,
     .Keys = {Qt::CTRL | Qt::Key_E}},
    {.Id = Command::ExportGeometry, .In = Menu::File, .Text = "Export &Geometry\u2026"},
    {.Id = Command::Quit,
     .In = Menu::File,
     .Text = "&Quit",
     .StartsGroup = true,
     .Standard = QKeySequence::Quit},
    // A text box with the focus keeps these keys for its own undo: it claims them before
    // shortcuts are looked at.
    {.Id = Command::Undo, .In = Menu::Edit, .Text = "&Undo", .Keys = {Qt::CTRL | Qt::Key_Z}},
    {.Id = Command::Redo,
     .In = Menu::Edit,
     .Text = "&Redo",
     .Keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y}},
    {.Id = Command::Variations, .In = Menu::Edit, .Text = "&Variations\u2026", .StartsGroup = true},
    {.Id = Command::TurnObjectLeft,
     .In = Menu::View,
     .Text = "Turn Object Left",
     .ViewerKey = Qt::Key_Left},
    {.Id = Command::TurnObjectRight,
     .In = Menu::View,
     .Text = "Turn Object Right",
     .ViewerKey = Qt::Key_Right},
    {.Id = Command::TurnObjectUp,
     .In = Menu::View,
     .Text = "Turn Object Up",
     .ViewerKey = Qt::Key_Up},
    {.Id = Command::TurnObjectDown,
     .In = Menu::View,
     .Text = "Turn Object Down",
     .ViewerKey = Qt::Key_Down},
    {.Id = Command::TurnBranchLeft,
     .In = Menu::View,
     .Text = "Turn Current Branch Left",
     .StartsGroup = true,
     .ViewerKey = Qt::SHIFT | Qt::Key_Left},
    {.Id = Command::TurnBranchRight,
     .In = Menu::View,
     .Text = "Turn Current Branch Right",
     .ViewerKey = Qt::SHIFT | Qt::Key_Right},
    {.Id = Command::TurnBranchUp,
     .In = Menu::View,
     .Text = "Turn Current Branch Up",
     .ViewerKey = Qt::SHIFT | Qt::Key_Up},
    {.Id = Command::TurnBranchDown,
     .In = Menu::View,
     .Text = "Turn Current Branch Down",
     .ViewerKey = Qt::SHIFT | Qt::Key_Down},
    {.Id = Command::ZoomIn,
     .In = Menu::View,
     .Text = "Zoom In",
     .StartsGroup = true,
     .ViewerKey = Qt::Key_Plus},
    {.Id = Command::ZoomOut, .In = Menu::View, .Text = "Zoom Out", .ViewerKey = Qt::Key_Minus},
    {.Id = Command::ResetView,
     .In = Menu::View,
     .Text = "Reset View",
     .StartsGroup = true,
     .ViewerKey = Qt::Key_Home},
    {.Id = Command::FrameWholeTree,
     .In = Menu::View,
     .Text = "Frame the Whole Tree",
     .StartsGroup = true,
     .ViewerKey = Qt::Key_F},
    {.Id = Command::FrameAfterRandomize, .In = Menu::View, .Text = "Frame After Randomize"},
    // Escape ends the panel's run, and so the program: the stop has a key of its own.
    {.Id = Command::StopDrawing,
     .In = Menu::View,
     .Text = "Stop Drawing",
     .StartsGroup = true,
     .Keys = {Qt::CTRL | Qt::Key_Period}},
    {.Id = Command::Examples, .In = Menu::Examples, .Text = "&Examples\u2026"},
    {.Id = Command::ShowAnimation, .In = Menu::Animation, .Text = "&Animation Window\u2026"},
    {.Id = Command::Turntable, .In = Menu::Animation, .Text = "&Turntable\u2026"},
    {.Id = Command::PlayAnimation, .In = Menu::Animation, .Text = "&Play"},
    {.Id = Command::ExportVideo,
     .In = Menu::Animation,
     .Text = "Export &Video\u2026",
     .StartsGroup = true},
};

// In the order of Menu.
const char* const MenuTitles[] = {"&File", "&Edit", "&View", "E&xamples", "&Animation"};
static_assert(std::size(MenuTitles) == static_cast<size_t>(Menu::Count));

size_t IndexOf(Command command)
{
    return static_cast<size_t>(command);
}

const CommandShape& ShapeOf(Command command)
{
    return *std::ranges::find(Commands, command, &CommandShape::Id);
}

bool HasViewerKey(const CommandShape& shape)
{
    return shape.ViewerKey.key() != Qt::Key_unknown;
}

// The viewer's key follows the text after a tab, where menus show keys.
QString TextOf(const CommandShape& shape, const QString& name)
{
    QString text = QString::fromUtf8(shape.Text);
    if (!name.isEmpty())
    {
        text += u' ' + name;
    }
    if (HasViewerKey(shape))
    {
        text += u'\t' + QKeySequence(shape.ViewerKey).toString(QKeySequence::NativeText);
    }
    return text;
}

// The desktop's keys for a command, and the command's own. Without a desktop that names any, Save
// As takes the keys most desktops give it.
QList<QKeySequence> ShortcutsOf(const CommandShape& shape)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(shape.Standard);
    if (keys.isEmpty() && shape.Standard == QKeySequence::SaveAs)
    {
        keys.append(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    }
    for (QKeyCombination key : shape.Keys)
    {
        keys.append(QKeySequence(key));
    }
    return keys;
}

// Keypad keys count as the main ones, and + and - whether or not Shift typed them.
QKeyCombination ViewerKey(QKeyCombination pressed)
{
    Qt::KeyboardModifiers modifiers = pressed.keyboardModifiers() & ~Qt::KeypadModifier;
    if (pressed.key() == Qt::Key_Plus || pressed.key() == Qt::Key_Minus)
    {
        modifiers &= ~Qt::ShiftModifier;
    }
    return QKeyCombination(modifiers, pressed.key());
}

}  // namespace

CommandRegistry::CommandRegistry()
{
    for (const CommandShape& shape : Commands)
    {
        auto* action = new QAction(TextOf(shape, {}), this);
        action->setShortcuts(ShortcutsOf(shape));
        action->setVisible(false);  // until it is bound
        actions_[IndexOf(shape.Id)] = action;
    }
}

CommandRegistry::~CommandRegistry() = default;

QAction& CommandRegistry::Action(Command command)
{
    return *actions_[IndexOf(command)];
}

void CommandRegistry::NameAfter(Command command, const QString& name)
{
    Action(command).setText(TextOf(ShapeOf(command), name));
}

void CommandRegistry::Bind(Command command, QObject& owner, std::function<void()> run)
{
    const size_t index = IndexOf(command);
    QAction* action = actions_[index];
    disconnect(bindings_[index]);
    bindings_[index] = connect(action, &QAction::triggered, &owner,
                               [this, run = std::move(run)]
                               {
                                   if (!Idle())
                                   {
                                       return;
                                   }
                                   const QScopedValueRollback running(running_, true);
                                   run();
                               });
    owners_[index] = &owner;
    action->setVisible(true);
    connect(&owner, &QObject::destroyed, action,
            [this, index, gone = &owner]
            {
                if (owners_[index] == gone)
                {
                    owners_[index] = nullptr;
                    actions_[index]->setVisible(false);
                }
            });
}

std::vector<MenuContents> CommandRegistry::Menus() const
{
    std::vector<MenuContents> menus;
    for (const char* title : MenuTitles)
    {
        menus.push_back({QString::fromUtf8(title), {}});
    }
    for (const CommandShape& shape : Commands)
    {
        QList<QAction*>& entries = menus[static_cast<size_t>(shape.In)].Entries;
        if (shape.StartsGroup && !entries.isEmpty())
        {
            entries.append(nullptr);
        }
        entries.append(actions_[IndexOf(shape.Id)]);
    }
    return menus;
}

bool CommandRegistry::TriggerViewerKey(QKeyCombination keys)
{
    QAction* action = Find(keys);
    if (action == nullptr)
    {
        return false;
    }
    action->trigger();
    return true;
}

QAction* CommandRegistry::Find(QKeyCombination keys) const
{
    const QKeyCombination viewerKey = ViewerKey(keys);
    const QKeySequence sequence(keys);
    QAction* shortcut = nullptr;
    for (const CommandShape& shape : Commands)
    {
        QAction* action = actions_[IndexOf(shape.Id)];
        if (!action->isVisible() || !action->isEnabled())
        {
            continue;
        }
        if (HasViewerKey(shape) && shape.ViewerKey == viewerKey)
        {
            return action;
        }
        if (shortcut == nullptr && action->shortcuts().contains(sequence))
        {
            shortcut = action;
        }
    }
    return shortcut;
}

bool CommandRegistry::Idle() const
{
    return !running_ && QGuiApplication::modalWindow() == nullptr;
}

}  // namespace ramifex
