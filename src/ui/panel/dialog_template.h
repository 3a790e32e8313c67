#pragma once

#include <span>
#include <string_view>

namespace ramifex
{

// Control ids of the panel; statics and the group box have none.
enum ControlId : int
{
    NoId = -1,
    IdOk = 1,
    IdCancel = 2,
    IdAxisX = 1001,
    IdAxisY = 1002,
    IdAxisZ = 1003,
    IdAngle = 1004,
    IdScale = 1005,
    IdOffset = 1006,
    IdIterations = 1007,
    IdBranchList = 1012,
    IdRatio = 1018,
    IdRandomize = 1019,
    IdChooseColor = 1020,
    IdAbout = 1022,
};

enum class ControlKind
{
    DefaultPushButton,
    PushButton,
    Trackbar,  // horizontal, no ticks
    StaticText,
    EditBox,  // bordered, scrolls horizontally, accepts any text
    ListBox,  // bordered, vertical scroll bar, sorted, reports selection changes
    GroupBox,
};

// A rectangle in dialog units: a quarter of the dialog font's average character width
// horizontally, an eighth of its character height vertically.
struct DialogRect
{
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

struct DialogControl
{
    int Id = NoId;
    ControlKind Kind = ControlKind::StaticText;
    std::string_view Caption;
    DialogRect Rect;
};

struct DialogTemplate
{
    std::string_view Caption;
    int Width = 0;  // client area, dialog units
    int Height = 0;
    std::string_view FontFamily;
    int FontPointSize = 0;
    // In template order, which is also the tab order.
    std::span<const DialogControl> Controls;
};

// The credit shown in the panel's caption and in the About text.
inline constexpr std::string_view AuthorCredit = "the Ramifex developers";

const DialogTemplate& ControlPanelTemplate();

}  // namespace ramifex
