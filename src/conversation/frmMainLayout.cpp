#include "conversation/frmMainLayout.h"

#include <array>

using namespace FormsRuntime;

namespace {

// The colour of the reply label and the text box: red 255, green 224, blue 192.
constexpr Color Peach = 0x00C0E0FF;
constexpr Color Red = 0x000000FF;
constexpr Color Blue = 0x00FF0000;

// clang-format off
constexpr std::array menus{
    MenuLayout{.name = "MenuFile", .caption = u"File"},
    MenuLayout{.name = "MenuExit", .caption = u"Exit", .parent = "MenuFile"},
};

// Stacking order, topmost first. Line1 and Line2 edge the reply label on its last pixel
// column and last pixel row.
constexpr std::array controls{
    ControlLayout{.kind = ControlKind::CommandButton, .name = "Command1", .left = 3360,
                  .top = 4920, .width = 735, .height = 375, .caption = u"Enter",
                  .font = Arial(9.75), .tabIndex = 1, .keyFlag = KeyFlag::Default},
    ControlLayout{.kind = ControlKind::TextBox, .name = "Text1", .left = 0, .top = 4920,
                  .width = 3375, .height = 375, .backColor = Peach, .foreColor = Blue,
                  .font = Arial(12), .tabIndex = 0, .accessibleName = u"Say something to Quibly"},
    ControlLayout{.kind = ControlKind::Line, .name = "Line2",
                  .segment = {.x1 = 0, .y1 = 1320, .x2 = 1320, .y2 = 1320},
                  .borderColor = SystemColor::WindowText},
    ControlLayout{.kind = ControlKind::Line, .name = "Line1",
                  .segment = {.x1 = 1320, .y1 = 0, .x2 = 1320, .y2 = 1320},
                  .borderColor = SystemColor::WindowText},
    ControlLayout{.kind = ControlKind::Label, .name = "Label1", .left = 0, .top = 0,
                  .width = 1335, .height = 1335,
                  .caption = u"Hello, I'm Quibly beta 2.3. It is nice to meet you.",
                  .backColor = Peach, .foreColor = Red, .font = Arial(11.25), .tabIndex = 2},
    ControlLayout{.kind = ControlKind::Image, .name = "Image2", .left = -1440, .top = 0,
                  .width = 6345, .height = 7500, .picture = ":/assets/backdrop.bmp"},
    ControlLayout{.kind = ControlKind::Image, .name = "Image1", .left = 0, .top = 0, .width = 15,
                  .height = 135},
};
// clang-format on

} // namespace

constexpr WindowLayout frmMainLayout{
    .name = "frmMain",
    .caption = u"Quibly",
    .border = BorderStyle::Sizable,
    .maxButton = false,
    .icon = ":/assets/frmMain.ico",
    .clientWidth = 4110,
    .clientHeight = 5265,
    .clientLeft = 2970,
    .clientTop = 1260,
    .startUpPosition = StartUpPosition::WindowsDefault,
    .backColor = SystemColor::ButtonFace,
    .menus = menus,
    .controls = controls,
};
static_assert(!FindLayoutFault(frmMainLayout),
              "the table names a control twice or a container it lacks");
