#include "runtime/SettledWindow.h"

#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace FormsRuntime {
namespace {

// An error names the window or its control; the name is made only then.
SettledColor SettleColor(Color color, std::string_view window, std::string_view control = {}) {
    if (color < SystemColor::Base)
        return {.red = static_cast<std::uint8_t>(color & 0xFFu),
                .green = static_cast<std::uint8_t>((color >> 8) & 0xFFu),
                .blue = static_cast<std::uint8_t>((color >> 16) & 0xFFu)};
    const Color number = color - SystemColor::Base;
    if (number >= SystemColorCount) {
        char hex[11];
        std::snprintf(hex, sizeof hex, "0x%08X", color);
        throw RuntimeError(ObjectName(window, control), "resolve colour",
                           std::string(hex) + " is not a window-system colour");
    }
    return {.system = true, .number = static_cast<std::uint8_t>(number)};
}

SettledFont SettleFont(const FontSpec& font) {
    return {.family = font.face,
            .pixels = FontPixelHeight(font),
            .weight = font.weight,
            .italic = font.italic,
            .underline = font.underline,
            .strikethrough = font.strikethrough,
            .charset = font.charset};
}

// Windowed controls lie above the graphical ones of their container.
constexpr bool IsWindowed(ControlKind kind) {
    return kind == ControlKind::Frame || kind == ControlKind::TextBox ||
           kind == ControlKind::CommandButton;
}

constexpr bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::CommandButton;
}

SettledControl SettleControl(const WindowLayout& layout, const ControlLayout& control) {
    const auto colour = [&](Color color) { return SettleColor(color, layout.name, control.name); };
    SettledControl settled{.name = control.name,
                           .caption = control.caption,
                           .picture = control.picture,
                           .accessibleName = control.accessibleName,
                           .kind = control.kind,
                           .alignment = control.alignment,
                           .autoSize = control.autoSize,
                           .tabStop = TakesFocus(control.kind)};
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
        if (!control.container.empty() && layout.controls[i].name == control.container)
            settled.container = i;
    if (control.kind == ControlKind::Line) {
        const Segment& s = control.segment;
        const int x1 = PixelsFromTwips(s.x1), y1 = PixelsFromTwips(s.y1);
        const int x2 = PixelsFromTwips(s.x2), y2 = PixelsFromTwips(s.y2);
        settled.box = {std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1,
                       std::abs(y2 - y1) + 1};
        settled.falling = (x2 - x1) * (y2 - y1) >= 0;
        settled.fore = colour(control.borderColor);
        return settled;
    }
    settled.box = {PixelsFromTwips(control.left), PixelsFromTwips(control.top),
                   PixelsFromTwips(control.width), PixelsFromTwips(control.height)};
    // A text box shows window colours; every other control the button face and button text.
    const bool textBox = control.kind == ControlKind::TextBox;
    settled.back = colour(control.backColor.value_or(textBox ? SystemColor::WindowBackground
                                                             : SystemColor::ButtonFace));
    settled.fore = colour(
        control.foreColor.value_or(textBox ? SystemColor::WindowText : SystemColor::ButtonText));
    settled.font = SettleFont(control.font.value_or(DefaultFont));
    return settled;
}

// The layout lists the topmost control first, and windowed controls lie above all graphical
// ones of their container: so each container gets its graphical controls first, then its
// windowed ones, each group from the bottom of the list up, and a frame is followed by what it
// holds.
void AppendPaintOrder(const WindowLayout& layout, std::string_view container,
                      std::vector<std::size_t>& order) {
    for (const bool windowed : {false, true}) {
        for (std::size_t i = layout.controls.size(); i-- > 0;) {
            const ControlLayout& control = layout.controls[i];
            if (control.container != container || IsWindowed(control.kind) != windowed)
                continue;
            order.push_back(i);
            if (control.kind == ControlKind::Frame)
                AppendPaintOrder(layout, control.name, order);
        }
    }
}

// The controls that take focus, in order of TabIndex; where two have the same, the one listed
// first.
std::vector<std::size_t> SettleTabOrder(const WindowLayout& layout) {
    const auto& controls = layout.controls;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (TakesFocus(controls[i].kind))
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return controls[a].tabIndex < controls[b].tabIndex;
    });
    return order;
}

// A window has one default and one cancel button; of two buttons marked alike, the one listed
// first is it, as setting the mark on one button takes it from the others.
std::optional<std::size_t> FindKeyButton(const WindowLayout& layout, KeyFlag flag) {
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
        if (layout.controls[i].kind == ControlKind::CommandButton &&
            layout.controls[i].keyFlag == flag)
            return i;
    return std::nullopt;
}

void SettleMenus(const WindowLayout& layout, SettledWindow& window) {
    const auto& menus = layout.menus;
    for (const MenuLayout& menu : menus)
        window.menus.push_back({.name = menu.name,
                                .caption = menu.caption,
                                .enabled = menu.enabled,
                                .visible = menu.visible,
                                .checked = menu.checked,
                                .command = !menu.parent.empty()});
    for (std::size_t top = 0; top < menus.size(); ++top) {
        if (!menus[top].parent.empty())
            continue;
        SettledMenu& entry = window.menus[top];
        for (std::size_t item = 0; item < menus.size(); ++item)
            if (menus[item].parent == menus[top].name && menus[item].visible)
                entry.items.push_back(item);
        // A menu-bar entry with nothing to drop down is a command of its own.
        entry.command = entry.items.empty();
        if (entry.visible)
            window.menuBar.push_back(top);
    }
}

Placement SettlePlacement(StartUpPosition position) {
    switch (position) {
    case StartUpPosition::Manual:
        return Placement::Manual;
    case StartUpPosition::CenterScreen:
        return Placement::CenterScreen;
    case StartUpPosition::WindowsDefault:
        break;
    }
    return Placement::SystemDefault;
}

} // namespace

SettledWindow SettleWindow(const WindowLayout& layout) {
    if (const LayoutFault fault = FindLayoutFault(layout))
        throw RuntimeError(ObjectName(layout.name, fault.name), "create",
                           std::string(fault.reason));
    SettledWindow window{
        .name = layout.name,
        .caption = layout.caption,
        .icon = layout.icon,
        .client = {PixelsFromTwips(layout.clientLeft), PixelsFromTwips(layout.clientTop),
                   PixelsFromTwips(layout.clientWidth), PixelsFromTwips(layout.clientHeight)},
        .placement = SettlePlacement(layout.startUpPosition),
        .back = SettleColor(layout.backColor, layout.name)};
    // The minimize and maximize buttons belong to the control box: without it neither shows,
    // and a window without caption and control box has no title bar at all.
    window.frame = {.titleBar = !layout.caption.empty() || layout.controlBox,
                    .systemMenu = layout.controlBox,
                    .minimizeButton = layout.controlBox && layout.minButton,
                    .maximizeButton = layout.controlBox && layout.maxButton,
                    .sizable = layout.border == BorderStyle::Sizable,
                    .inTaskbar = layout.showInTaskbar,
                    .takesFocus = std::any_of(
                        layout.controls.begin(), layout.controls.end(),
                        [](const ControlLayout& control) { return TakesFocus(control.kind); })};
    for (const ControlLayout& control : layout.controls)
        window.controls.push_back(SettleControl(layout, control));
    AppendPaintOrder(layout, {}, window.paintOrder);
    window.tabOrder = SettleTabOrder(layout);
    window.defaultButton = FindKeyButton(layout, KeyFlag::Default);
    window.cancelButton = FindKeyButton(layout, KeyFlag::Cancel);
    SettleMenus(layout, window);
    return window;
}

} // namespace FormsRuntime
