#include "runtime/web/WindowDescription.h"

#include "runtime/RuntimeError.h"
#include "runtime/web/JsonWriter.h"

#include <array>
#include <cstdio>
#include <vector>

namespace FormsRuntime::web {
namespace {

// The page's style sheet defines the window system's colours as --sys-0 to --sys-24.
std::string CssColour(const SettledColor& colour) {
    if (colour.system)
        return "var(--sys-" + std::to_string(colour.number) + ")";
    char rgb[8];
    std::snprintf(rgb, sizeof rgb, "#%02x%02x%02x", unsigned{colour.red}, unsigned{colour.green},
                  unsigned{colour.blue});
    return rgb;
}

// The program's pictures are files in the site's assets folder.
void WritePicture(JsonWriter& json, std::string_view resource, const std::string& object) {
    constexpr std::string_view prefix = ":/assets/";
    if (resource.empty())
        return void(json.Null());
    if (!resource.starts_with(prefix) || resource.size() == prefix.size() ||
        resource.find('/', prefix.size()) != std::string_view::npos)
        throw RuntimeError(object, "load picture",
                           "\"" + std::string(resource) +
                               "\" is not one of the program's pictures");
    json.Value("assets/" + std::string(resource.substr(prefix.size())));
}

// The page's names of the kinds of control, in ControlKind's order, and of the alignments, in
// Alignment's.
constexpr std::array<const char*, 6> kindNames{"frame", "label",   "image",
                                               "line",  "textbox", "button"};
constexpr std::array<const char*, 3> alignmentNames{"left", "right", "center"};

void WriteBox(JsonWriter& json, const PixelBox& box) {
    json.Key("x").Value(box.x).Key("y").Value(box.y);
    json.Key("width").Value(box.width).Key("height").Value(box.height);
}

void WriteControl(JsonWriter& json, const FormEvents& events, std::size_t index) {
    const SettledWindow& window = events.Window();
    const SettledControl& control = window.controls[index];
    json.BeginObject().Key("index").Value(static_cast<int>(index));
    json.Key("kind").Value(kindNames[static_cast<std::size_t>(control.kind)]);
    json.Key("name").Value(control.name);
    // The frame that holds the control, by its index; -1: the client area.
    json.Key("container").Value(control.container ? static_cast<int>(*control.container) : -1);
    WriteBox(json, control.box);
    if (control.kind == ControlKind::Line) {
        json.Key("falling").Value(control.falling);
        json.Key("colour").Value(CssColour(control.fore));
        return void(json.EndObject());
    }
    const SettledFont& font = control.font;
    json.Key("caption").Value(control.caption);
    json.Key("back").Value(CssColour(control.back));
    json.Key("fore").Value(CssColour(control.fore));
    json.Key("font").BeginObject().Key("face").Value(font.family).Key("px").Value(font.pixels);
    json.Key("weight").Value(font.weight).Key("italic").Value(font.italic);
    json.Key("underline").Value(font.underline).Key("strikethrough").Value(font.strikethrough);
    json.EndObject();
    json.Key("align").Value(alignmentNames[static_cast<std::size_t>(control.alignment)]);
    json.Key("autoSize").Value(control.autoSize);
    json.Key("picture");
    WritePicture(json, control.picture, events.ObjectName(control.name));
    json.Key("keyFlag").Value(window.defaultButton == index  ? "default"
                              : window.cancelButton == index ? "cancel"
                                                             : "");
    json.Key("accessibleName").Value(control.accessibleName);
    json.EndObject();
}

void WriteIndices(JsonWriter& json, const std::vector<std::size_t>& indices) {
    json.BeginArray();
    for (const std::size_t index : indices)
        json.Value(static_cast<int>(index));
    json.EndArray();
}

} // namespace

std::string DescribeWindow(const FormEvents& events) {
    const SettledWindow& window = events.Window();
    const SettledFrame& frame = window.frame;
    JsonWriter json;
    json.BeginObject().Key("name").Value(window.name).Key("caption").Value(window.caption);
    json.Key("titleBar").Value(frame.titleBar).Key("controlBox").Value(frame.systemMenu);
    json.Key("minButton").Value(frame.minimizeButton).Key("maxButton").Value(frame.maximizeButton);
    json.Key("sizable").Value(frame.sizable).Key("taskbar").Value(frame.inTaskbar);
    json.Key("icon");
    WritePicture(json, window.icon, events.ObjectName());
    WriteBox(json, window.client);
    // The page centres a window on its desktop also where the window system would choose the
    // place.
    json.Key("placement").Value(window.placement == Placement::Manual ? "manual" : "centre");
    json.Key("back").Value(CssColour(window.back));
    json.Key("menus").BeginArray();
    for (const SettledMenu& menu : window.menus) {
        json.BeginObject().Key("name").Value(menu.name).Key("caption").Value(menu.caption);
        json.Key("enabled").Value(menu.enabled).Key("checked").Value(menu.checked);
        json.Key("command").Value(menu.command).Key("items");
        WriteIndices(json, menu.items);
        json.EndObject();
    }
    json.EndArray();
    json.Key("menuBar");
    WriteIndices(json, window.menuBar);
    json.Key("controls").BeginArray();
    for (const std::size_t index : window.paintOrder)
        WriteControl(json, events, index);
    json.EndArray();
    json.Key("tabOrder");
    WriteIndices(json, window.tabOrder);
    json.EndObject();
    return json.Json();
}

} // namespace FormsRuntime::web
