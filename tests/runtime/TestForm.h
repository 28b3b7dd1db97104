#pragma once

// A window class that uses every kind of control, for checking the runtime on its own.

#include "runtime/Controls.h"
#include "runtime/Form.h"

#include <array>

namespace TestLayout {

using namespace FormsRuntime;

inline constexpr Color Red = 0x000000FF, Green = 0x0000FF00, Blue = 0x00FF0000, Yellow = 0x0000FFFF,
                       Black = 0x00000000;

// Topmost first. UnderEntry is listed first yet lies below the windowed text box; Upper
// overlaps Lower; Edge runs along the top of Upper.
// clang-format off
inline constexpr std::array controls{
    ControlLayout{.kind = ControlKind::Label, .name = "UnderEntry", .left = 0, .top = 1500,
                  .width = 1500, .height = 375, .backColor = Yellow},
    ControlLayout{.kind = ControlKind::CommandButton, .name = "OkButton", .left = 1500,
                  .top = 1500, .width = 750, .height = 375, .caption = u"OK & go", .tabIndex = 2,
                  .keyFlag = KeyFlag::Default},
    ControlLayout{.kind = ControlKind::CommandButton, .name = "CancelButton", .left = 2250,
                  .top = 1500, .width = 750, .height = 375, .caption = u"Cancel", .tabIndex = 1,
                  .keyFlag = KeyFlag::Cancel},
    ControlLayout{.kind = ControlKind::TextBox, .name = "Entry", .left = 0, .top = 1500,
                  .width = 1500, .height = 375, .tabIndex = 0},
    ControlLayout{.kind = ControlKind::Frame, .name = "Panel", .left = 3000, .top = 0,
                  .width = 1500, .height = 1500, .backColor = Green},
    ControlLayout{.kind = ControlKind::Label, .name = "Inner", .container = "Panel", .left = 150,
                  .top = 150, .width = 300, .height = 300, .backColor = Blue},
    ControlLayout{.kind = ControlKind::Line, .name = "Edge",
                  .segment = {.x1 = 0, .y1 = 0, .x2 = 1500, .y2 = 0}, .borderColor = Black},
    ControlLayout{.kind = ControlKind::Label, .name = "Upper", .left = 0, .top = 0, .width = 750,
                  .height = 750, .backColor = Red},
    ControlLayout{.kind = ControlKind::Label, .name = "Lower", .left = 300, .top = 300,
                  .width = 750, .height = 750, .backColor = Blue},
    ControlLayout{.kind = ControlKind::Label, .name = "Wrapped", .left = 1200, .top = 0,
                  .width = 600, .height = 255, .caption = u"one two three four five six"},
    ControlLayout{.kind = ControlKind::Label, .name = "Fitted", .left = 1200, .top = 900,
                  .width = 1500, .height = 500, .caption = u"Fit", .font = Arial(12, 700),
                  .alignment = Alignment::Right, .autoSize = true},
};

inline constexpr std::array menus{
    MenuLayout{.name = "MenuTest", .caption = u"Test"},
    MenuLayout{.name = "MenuGo", .caption = u"Go & see", .parent = "MenuTest"},
};

inline constexpr WindowLayout window{.name = "frmTest", .caption = u"Test",
                                     .clientWidth = 4500, .clientHeight = 2250,
                                     .menus = menus, .controls = controls};
// clang-format on

} // namespace TestLayout

// Counts the clicks of its buttons and menu item.
class frmTest final : public FormsRuntime::Form {
public:
    frmTest() : Form(TestLayout::window) {
        OnClick("OkButton", [this] { ++okClicks; });
        OnClick("CancelButton", [this] { ++cancelClicks; });
        OnClick("MenuGo", [this] { ++menuClicks; });
    }
    int okClicks = 0;
    int cancelClicks = 0;
    int menuClicks = 0;
    FormsRuntime::Label Fitted{*this, "Fitted"};
    FormsRuntime::Label Wrapped{*this, "Wrapped"};
};
