#include "app/view_commands.h"

#include <QSettings>
#include <cstdint>

#include "ui/commands/program_settings.h"

namespace ramifex
{
namespace
{

constexpr char FrameAfterKey[] = "view/frameAfterRandomize";

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

void BindViewCommands(CommandRegistry& commands, SceneEditor& editor, QObject& owner,
                      SceneEditor::PictureSize window)
{
    for (const Steering& command : ViewCommands)
    {
        commands.Bind(command.Id, owner, [&editor, steer = command.Steer] { steer(editor); });
    }
    commands.Bind(Command::FrameWholeTree, owner,
                  [&editor, window]
                  {
                      const auto [width, height] = window();
                      editor.FrameWholeTree(width, height);
                  });
    QAction& frameAfter = commands.Action(Command::FrameAfterRandomize);
    frameAfter.setCheckable(true);
    const auto frameRandomized = [&editor, window](bool on)
    { editor.FrameAfterRandomize(on ? window : SceneEditor::PictureSize()); };
    frameAfter.setChecked(QSettings(ProgramSettingsPath(), QSettings::IniFormat)
                              .value(FrameAfterKey, false)
                              .toBool());
    frameRandomized(frameAfter.isChecked());
    commands.Bind(Command::FrameAfterRandomize, owner,
                  [&frameAfter, frameRandomized]
                  {
                      frameRandomized(frameAfter.isChecked());
                      QSettings(ProgramSettingsPath(), QSettings::IniFormat)
                          .setValue(FrameAfterKey, frameAfter.isChecked());
                  });
}

}  // namespace ramifex
