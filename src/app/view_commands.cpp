#include "app/view_commands.h"

#include <cstdint>

namespace ramifex
{
namespace
{

// An arrow turns as a drag of this many pixels.
constexpr int32_t KeyTurn = 5;

struct Steering
{
    Command Id;
    void (*Steer)(SceneEditor& editor);
};

const Steering ViewCommands[] = {
    {Command::TurnObjectLeft, [](SceneEditor& e) { e.RotateBaseRecord(-KeyTurn, 0); }},
    {Command::TurnObjectRight, [](SceneEditor& e) { e.RotateBaseRecord(KeyTurn, 0); }},
    {Command::TurnObjectUp, [](SceneEditor& e) { e.RotateBaseRecord(0, -KeyTurn); }},
    {Command::TurnObjectDown, [](SceneEditor& e) { e.RotateBaseRecord(0, KeyTurn); }},
    {Command::TurnBranchLeft, [](SceneEditor& e) { e.RotateCurrentRecord(-KeyTurn, 0); }},
    {Command::TurnBranchRight, [](SceneEditor& e) { e.RotateCurrentRecord(KeyTurn, 0); }},
    {Command::TurnBranchUp, [](SceneEditor& e) { e.RotateCurrentRecord(0, -KeyTurn); }},
    {Command::TurnBranchDown, [](SceneEditor& e) { e.RotateCurrentRecord(0, KeyTurn); }},
    {Command::ZoomIn, [](SceneEditor& e) { e.Zoom(1.0); }},
    {Command::ZoomOut, [](SceneEditor& e) { e.Zoom(-1.0); }},
    {Command::ResetView, [](SceneEditor& e) { e.ResetView(); }},
};

}  // namespace

void BindViewCommands(CommandRegistry& commands, SceneEditor& editor, QObject& owner)
{
    for (const Steering& command : ViewCommands)
    {
        commands.Bind(command.Id, owner, [&editor, steer = command.Steer] { steer(editor); });
    }
}

}  // namespace ramifex
