#pragma once

// A window's stored layout: constant tables that the runtime turns into a window and its
// controls. Positions and sizes are twips measured from the container's client area.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace FormsRuntime {

using Twips = int;
inline constexpr Twips TwipsPerPixel = 15;

// 15 twips make one pixel at 96 dots per inch; in-between values round to the nearest pixel.
constexpr int PixelsFromTwips(Twips twips) {
    const int half = TwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / TwipsPerPixel : -((-twips + half) / TwipsPerPixel);
}

// 0x00BBGGRR is a fixed colour; 0x80000000 + n is the window system's colour number n.
using Color = std::uint32_t;

namespace SystemColor {
inline constexpr Color Base = 0x80000000;
inline constexpr Color WindowBackground = 0x80000005;
inline constexpr Color WindowText = 0x80000008;
inline constexpr Color HighlightText = 0x8000000E;
inline constexpr Color ButtonFace = 0x8000000F;
inline constexpr Color ButtonText = 0x80000012;
} // namespace SystemColor

struct FontSpec {
    std::string_view face = {};
    double points = 8.25;
    int weight = 400; // 400 regular, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int charset = 0;
};

constexpr FontSpec Arial(double points, int weight = 400) {
    return {.face = "Arial", .points = points, .weight = weight};
}

// The font of every control that does not name one.
inline constexpr FontSpec DefaultFont = Arial(8.25);

// Points are counted at 96 dots per inch, so 8.25 pt is 11 pixels on every screen.
inline int FontPixelHeight(const FontSpec& font) {
    return static_cast<int>(std::lround(font.points * 96.0 / 72.0));
}

enum class ControlKind : std::uint8_t { Frame, Label, Image, Line, TextBox, CommandButton };
enum class Alignment : std::uint8_t { Left, Right, Center };

// Which key, pressed anywhere in the window, clicks a command button.
enum class KeyFlag : std::uint8_t { None, Default, Cancel };

struct Segment {
    Twips x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct ControlLayout {
    ControlKind kind = ControlKind::Label;
    std::string_view name = {};
    std::string_view container = {}; // a frame's name; empty for the window itself
    Twips left = 0, top = 0, width = 0, height = 0;
    std::u16string_view caption = {};    // a text box's initial text
    std::optional<Color> backColor = {}; // unset: the kind's default
    std::optional<Color> foreColor = {}; // unset: the kind's default
    std::optional<FontSpec> font = {};   // unset: DefaultFont
    int tabIndex = 0;
    Alignment alignment = Alignment::Left;
    bool autoSize = false;
    std::string_view picture = {}; // resource path of an image's picture; empty: none
    KeyFlag keyFlag = KeyFlag::None;
    Segment segment{}; // a line's end points
    Color borderColor = SystemColor::WindowText;
    std::u16string_view accessibleName = {}; // unset: the caption speaks for the control
};

struct MenuLayout {
    std::string_view name = {};
    std::u16string_view caption = {};
    std::string_view parent = {}; // empty: a menu on the menu bar
    bool enabled = true;
    bool visible = true;
    bool checked = false;
};

enum class BorderStyle : std::uint8_t { Sizable, FixedDialog };
enum class StartUpPosition : std::uint8_t { Manual, CenterScreen, WindowsDefault };

struct WindowLayout {
    std::string_view name = {};
    std::u16string_view caption = {};
    BorderStyle border = BorderStyle::Sizable;
    bool controlBox = true;
    bool minButton = true;
    bool maxButton = true;
    bool showInTaskbar = true;
    std::string_view icon = {}; // resource path; empty: no icon of its own
    Twips clientWidth = 0, clientHeight = 0;
    Twips clientLeft = 0, clientTop = 0;
    StartUpPosition startUpPosition = StartUpPosition::WindowsDefault;
    Color backColor = SystemColor::ButtonFace;
    std::span<const MenuLayout> menus = {};
    std::span<const ControlLayout> controls = {}; // stacking order, topmost first
};

// What is wrong with a layout, naming the control or menu at fault; no reason: nothing.
struct LayoutFault {
    std::string_view name = {};
    std::string_view reason = {};
    constexpr explicit operator bool() const noexcept { return !reason.empty(); }
};

// Every control and menu has a name of its own, every control's container is a frame of the
// same window, and every menu item hangs under a menu on the menu bar. Layouts are constants,
// so each table is checked when the program is built; a window class checks its layout again
// when it is created, for a layout made elsewhere.
constexpr LayoutFault FindLayoutFault(const WindowLayout& layout) {
    const auto& controls = layout.controls;
    const auto& menus = layout.menus;
    const auto isFrame = [&](std::string_view name) {
        return std::any_of(controls.begin(), controls.end(), [&](const ControlLayout& control) {
            return control.name == name && control.kind == ControlKind::Frame;
        });
    };
    const auto isMenuTitle = [&](std::string_view name) {
        return std::any_of(menus.begin(), menus.end(), [&](const MenuLayout& menu) {
            return menu.name == name && menu.parent.empty();
        });
    };
    const auto controlNamed = [&](std::size_t count, std::string_view name) {
        return std::any_of(controls.begin(), controls.begin() + static_cast<std::ptrdiff_t>(count),
                           [&](const ControlLayout& control) { return control.name == name; });
    };
    const auto menuNamed = [&](std::size_t count, std::string_view name) {
        return std::any_of(menus.begin(), menus.begin() + static_cast<std::ptrdiff_t>(count),
                           [&](const MenuLayout& menu) { return menu.name == name; });
    };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlLayout& control = controls[i];
        if (controlNamed(i, control.name))
            return {control.name, "the name is used twice"};
        if (!control.container.empty() && !isFrame(control.container))
            return {control.name, "its container is not a frame of this window"};
    }
    for (std::size_t i = 0; i < menus.size(); ++i) {
        const MenuLayout& menu = menus[i];
        if (controlNamed(controls.size(), menu.name) || menuNamed(i, menu.name))
            return {menu.name, "the name is used twice"};
        if (!menu.parent.empty() && !isMenuTitle(menu.parent))
            return {menu.name, "its menu is not on this window's menu bar"};
    }
    return {};
}

} // namespace FormsRuntime
