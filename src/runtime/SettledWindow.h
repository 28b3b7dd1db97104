#pragma once

// A window as every backend builds it: what its layout means, decided once here. A backend
// reads nothing of the WindowLayout itself; it makes the frame, places each control at its
// box, resolves the colours and fonts named here with its own toolkit, creates the controls in
// paint order, and wires the Tab order, the default and cancel buttons and the menus as said.

#include "runtime/Layout.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace FormsRuntime {

// A box in pixels of the layout (15 twips each), from the top-left corner of its container's
// client area. A backend whose screen has more device pixels per pixel scales it.
struct PixelBox {
    int x = 0, y = 0, width = 0, height = 0;
    friend constexpr bool operator==(const PixelBox&, const PixelBox&) = default;
};

// The window system's colours run from 0 (scroll bar) to 24 (tool-tip background).
inline constexpr unsigned SystemColorCount = 25;

// A colour as the window paints it: fixed red, green and blue, or one of the window system's
// colours, which the user's desktop decides and the backend looks up.
struct SettledColor {
    bool system = false;
    std::uint8_t number = 0; // the system colour's number
    std::uint8_t red = 0, green = 0, blue = 0;
    friend constexpr bool operator==(const SettledColor&, const SettledColor&) = default;
};

struct SettledFont {
    std::string_view family = {};
    int pixels = 11; // the height of the em, at 96 dots per inch
    int weight = 400;
    bool italic = false, underline = false, strikethrough = false;
    int charset = 0;
    friend constexpr bool operator==(const SettledFont&, const SettledFont&) = default;
};

// The frame the window system draws around the client area.
struct SettledFrame {
    bool titleBar = true;
    bool systemMenu = true; // the title bar's icon menu and its close button
    bool minimizeButton = true;
    bool maximizeButton = true;
    bool sizable = true;
    bool inTaskbar = true;
    // A window without a control that takes the focus is never made the active one.
    bool takesFocus = true;
    friend constexpr bool operator==(const SettledFrame&, const SettledFrame&) = default;
};

enum class Placement : std::uint8_t { Manual, CenterScreen, SystemDefault };

struct SettledControl {
    std::string_view name = {};
    std::optional<std::size_t> container = {}; // the frame's index; none: the client area
    // Shown as written: captions carry no access keys, so "&" is a plain character.
    std::u16string_view caption = {};
    std::string_view picture = {};
    std::u16string_view accessibleName = {};
    SettledFont font = {};
    // A line's box runs from one end point to the other, both included.
    PixelBox box = {};
    ControlKind kind = ControlKind::Label;
    // A line neither upright nor level joins the box's top-left and bottom-right corners when
    // falling, else its bottom-left and top-right.
    bool falling = true;
    Alignment alignment = Alignment::Left;
    bool autoSize = false;
    bool tabStop = false;
    SettledColor back = {};
    SettledColor fore = {}; // a line's colour
};

struct SettledMenu {
    std::string_view name = {};
    std::u16string_view caption = {}; // shown as written, as a control's
    bool enabled = true, visible = true, checked = false;
    // Raises Click when chosen: every item, and a menu-bar entry that holds no items.
    bool command = false;
    std::vector<std::size_t> items = {}; // a menu-bar entry's items, as indices into menus
};

struct SettledWindow {
    std::string_view name = {};
    std::u16string_view caption = {};
    SettledFrame frame = {};
    std::string_view icon = {}; // empty: the program's icon
    // The client area: its size, and for a manual placement its place on the screen.
    PixelBox client = {};
    Placement placement = Placement::SystemDefault;
    SettledColor back = {};
    std::vector<SettledControl> controls = {}; // by index in the layout's control list
    // Every control, in the order to create it: each lies above those before it, and a frame
    // comes before what it holds.
    std::vector<std::size_t> paintOrder = {};
    std::vector<std::size_t> tabOrder = {};        // the first has the focus as the window opens
    std::optional<std::size_t> defaultButton = {}; // clicked by Return
    std::optional<std::size_t> cancelButton = {};  // clicked by Escape
    std::vector<SettledMenu> menus = {};           // by index in the layout's menu list
    std::vector<std::size_t> menuBar = {};         // the visible menu-bar entries, left to right
};

// Settles `layout`. A fault in it is a RuntimeError naming the window or control at fault.
SettledWindow SettleWindow(const WindowLayout& layout);

} // namespace FormsRuntime
