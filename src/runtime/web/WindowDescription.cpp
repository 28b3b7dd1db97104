#include "runtime/web/WindowDescription.h"

#include "runtime/RuntimeError.h"
#include "runtime/web/JsonWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace FormsRuntime::web {
namespace {

// The window-system colours the page's style sheet defines as --sys-0 to --sys-24.
constexpr unsigned SystemColourCount = 25;

std::string CssColour(Color color, const std::string& object) {
    if (color < SystemColor::Base) {
        char rgb[8];
        std::snprintf(rgb, sizeof rgb, "#%02x%02x%02x", color & 0xFFu, (color >> 8) & 0xFFu,
                      (color >> 16) & 0xFFu);
        return rgb;
    }
    const unsigned number = color - SystemColor::Base;
    if (number >= SystemColourCount) {
        char hex[11];
        std::snprintf(hex, sizeof hex, "0x%08X", color);
        throw RuntimeError(object, "resolve colour",
                           std::string(hex) + " is not a window-system colour");
    }
    return "var(--sys-" + std::to_string(number) + ")";
}

// The program's pictures are files in the site's assets folder.
std::string PictureUrl(std::string_view resource, const std::string& object) {
    constexpr std::string_view prefix = ":/assets/";
    if (!resource.starts_with(prefix) || resource.size() == prefix.size() ||
        resource.find('/', prefix.size()) != std::string_view::npos)
        throw RuntimeError(object, "load picture",
                           "\"" + std::string(resource) +
                               "\" is not one of the program's pictures");
    return "assets/" + std::string(resource.substr(prefix.size()));
}

const char* KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Frame:
        return "frame";
    case ControlKind::Label:
        return "label";
    case ControlKind::Image:
        return "image";
    case ControlKind::Line:
        return "line";
    case ControlKind::TextBox:
        return "textbox";
    case ControlKind::CommandButton:
        break;
    }
    return "button";
}

const char* AlignmentName(Alignment alignment) {
    switch (alignment) {
    case Alignment::Right:
        return "right";
    case Alignment::Center:
        return "center";
    case Alignment::Left:
        break;
    }
    return "left";
}

const char* PlacementName(StartUpPosition position) {
    switch (position) {
    case StartUpPosition::Manual:
        return "manual";
    case StartUpPosition::CenterScreen:
    case StartUpPosition::WindowsDefault:
        // The page centres new windows on the desktop, as the window system's default place.
        break;
    }
    return "centre";
}

void WriteBox(JsonWriter& json, int x, int y, int width, int height) {
    json.Key("x").Value(x).Key("y").Value(y).Key("width").Value(width).Key("height").Value(height);
}

// A line's box runs from one end point to the other, both included.
void WriteLine(JsonWriter& json, const ControlLayout& control, const std::string& object) {
    const Segment& s = control.segment;
    const int x1 = PixelsFromTwips(s.x1), y1 = PixelsFromTwips(s.y1);
    const int x2 = PixelsFromTwips(s.x2), y2 = PixelsFromTwips(s.y2);
    WriteBox(json, std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1,
             std::abs(y2 - y1) + 1);
    // Which corners the line joins when it is neither upright nor level.
    json.Key("falling").Value((x2 - x1) * (y2 - y1) >= 0);
    json.Key("colour").Value(CssColour(control.borderColor, object));
}

void WriteFont(JsonWriter& json, const FontSpec& font) {
    json.Key("font")
        .BeginObject()
        .Key("face")
        .Value(font.face)
        .Key("px")
        .Value(FontPixelHeight(font))
        .Key("weight")
        .Value(font.weight)
        .Key("italic")
        .Value(font.italic)
        .Key("underline")
        .Value(font.underline)
        .Key("strikethrough")
        .Value(font.strikethrough)
        .EndObject();
}

void WriteControl(JsonWriter& json, const WindowLayout& layout, std::size_t index,
                  const std::string& object) {
    const ControlLayout& control = layout.controls[index];
    json.BeginObject().Key("index").Value(static_cast<int>(index));
    json.Key("kind").Value(KindName(control.kind)).Key("name").Value(control.name);
    json.Key("container").Value(control.container);
    if (control.kind == ControlKind::Line) {
        WriteLine(json, control, object);
        return void(json.EndObject());
    }
    WriteBox(json, PixelsFromTwips(control.left), PixelsFromTwips(control.top),
             PixelsFromTwips(control.width), PixelsFromTwips(control.height));
    json.Key("caption").Value(control.caption);
    json.Key("back").Value(CssColour(BackColorOf(control), object));
    json.Key("fore").Value(CssColour(ForeColorOf(control), object));
    WriteFont(json, control.font.value_or(DefaultFont));
    json.Key("align").Value(AlignmentName(control.alignment));
    json.Key("autoSize").Value(control.autoSize);
    json.Key("picture");
    if (control.picture.empty())
        json.Null();
    else
        json.Value(PictureUrl(control.picture, object));
    json.Key("keyFlag").Value(control.keyFlag == KeyFlag::Default  ? "default"
                              : control.keyFlag == KeyFlag::Cancel ? "cancel"
                                                                   : "");
    json.Key("accessibleName").Value(control.accessibleName);
    json.EndObject();
}

// Controls laid later lie above those laid earlier. The layout lists the topmost first, and
// windowed controls lie above all graphical ones of their container: so each container gets
// its graphical controls first, then its windowed ones, each group from the bottom of the list
// up. A frame is laid before what it contains.
void WriteControlsOf(JsonWriter& json, const FormEvents& events, std::string_view container) {
    const WindowLayout& layout = events.Layout();
    for (const bool windowed : {false, true}) {
        for (std::size_t i = layout.controls.size(); i-- > 0;) {
            const ControlLayout& control = layout.controls[i];
            if (control.container != container || IsWindowed(control.kind) != windowed)
                continue;
            WriteControl(json, layout, i, events.ObjectName(control.name));
            if (control.kind == ControlKind::Frame)
                WriteControlsOf(json, events, control.name);
        }
    }
}

void WriteMenus(JsonWriter& json, const WindowLayout& layout) {
    json.Key("menus").BeginArray();
    for (std::size_t i = 0; i < layout.menus.size(); ++i) {
        const MenuLayout& menu = layout.menus[i];
        json.BeginObject().Key("index").Value(static_cast<int>(i));
        json.Key("name").Value(menu.name).Key("caption").Value(menu.caption);
        json.Key("parent").Value(menu.parent).Key("enabled").Value(menu.enabled);
        json.Key("visible").Value(menu.visible).Key("checked").Value(menu.checked);
        json.EndObject();
    }
    json.EndArray();
}

} // namespace

std::string DescribeWindow(const FormEvents& events) {
    const WindowLayout& layout = events.Layout();
    const std::string object = events.ObjectName();
    JsonWriter json;
    json.BeginObject().Key("name").Value(layout.name).Key("caption").Value(layout.caption);
    json.Key("titleBar").Value(!layout.caption.empty() || layout.controlBox);
    json.Key("controlBox").Value(layout.controlBox);
    json.Key("minButton").Value(layout.controlBox && layout.minButton);
    json.Key("maxButton").Value(layout.controlBox && layout.maxButton);
    json.Key("sizable").Value(layout.border == BorderStyle::Sizable);
    json.Key("taskbar").Value(layout.showInTaskbar);
    json.Key("icon");
    if (layout.icon.empty())
        json.Null();
    else
        json.Value(PictureUrl(layout.icon, object));
    WriteBox(json, PixelsFromTwips(layout.clientLeft), PixelsFromTwips(layout.clientTop),
             PixelsFromTwips(layout.clientWidth), PixelsFromTwips(layout.clientHeight));
    json.Key("placement").Value(PlacementName(layout.startUpPosition));
    json.Key("back").Value(CssColour(layout.backColor, object));
    WriteMenus(json, layout);
    json.Key("controls").BeginArray();
    WriteControlsOf(json, events, {});
    json.EndArray();
    json.Key("tabOrder").BeginArray();
    for (const std::size_t index : TabOrder(layout))
        json.Value(static_cast<int>(index));
    json.EndArray();
    json.EndObject();
    return json.Json();
}

} // namespace FormsRuntime::web
