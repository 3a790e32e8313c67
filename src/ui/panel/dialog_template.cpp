#include "ui/panel/dialog_template.h"

#include <array>

namespace ramifex
{
namespace
{

using enum ControlKind;

constexpr std::array<DialogControl, 22> PanelControls{{
    {IdOk, DefaultPushButton, "OK", {30, 200, 45, 15}},
    {IdCancel, PushButton, "Cancel", {30, 220, 45, 15}},
    {IdAxisX, Trackbar, "", {40, 75, 100, 15}},
    {IdAxisY, Trackbar, "", {40, 90, 100, 15}},
    {IdAxisZ, Trackbar, "", {40, 105, 100, 15}},
    {IdAngle, Trackbar, "", {40, 60, 100, 15}},
    {NoId, StaticText, "Angle", {20, 65, 19, 8}},
    {NoId, StaticText, "Axis", {20, 95, 14, 8}},
    {IdScale, Trackbar, "", {40, 120, 100, 15}},
    {NoId, StaticText, "Scale", {20, 125, 19, 8}},
    {NoId, StaticText, "Offset", {20, 140, 20, 8}},
    {IdOffset, Trackbar, "", {40, 135, 100, 15}},
    {IdIterations, EditBox, "", {10, 15, 40, 14}},
    {NoId, StaticText, "Iterations", {15, 5, 30, 8}},
    {IdBranchList, ListBox, "", {60, 15, 48, 35}},
    {IdRatio, Trackbar, "", {40, 175, 100, 15}},
    {NoId, StaticText, "C.Ratio", {15, 180, 24, 8}},
    {IdRandomize, PushButton, "Randomize", {80, 200, 40, 15}},
    {IdChooseColor, PushButton, "Choose Color", {55, 155, 50, 15}},
    {NoId, GroupBox, "Branch Properties", {10, 50, 140, 145}},
    {NoId, StaticText, "Current Branch:", {61, 5, 50, 8}},
    {IdAbout, PushButton, "About", {80, 220, 40, 15}},
}};

}  // namespace

const DialogTemplate& ControlPanelTemplate()
{
    static const DialogTemplate panel{
        "Ramifex - By the Ramifex developers", 157, 236, "MS Sans Serif", 8, PanelControls,
    };
    return panel;
}

}  // namespace ramifex
