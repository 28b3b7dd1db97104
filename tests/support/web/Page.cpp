#include "Page.h"

#include "ImageSnapshot.h"

#include <QByteArray>
#include <QImage>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>

namespace TestDriver::web {
namespace {

constexpr std::string_view helpers = R"js(
const win = name => {
    const all = [...document.querySelectorAll(`[data-form="${name}"]`)];
    const found = all.find(element => !element.hidden) ?? all[0];
    if (!found) throw new Error(`no window ${name} is loaded`);
    return found;
};
const part = (window, name) => window.querySelector(`[data-part="${name}"]`);
const client = name => {
    const found = part(win(name), 'client');
    if (!found) throw new Error(`the window ${name} has no client area`);
    return found;
};
const ctl = (window, name) => {
    const found = win(window).querySelector(`[data-control="${name}"]`);
    if (!found) throw new Error(`no control ${name} in ${window}`);
    return found;
};
const box = (element, origin) => {
    const r = element.getBoundingClientRect(), o = origin.getBoundingClientRect();
    return {x: Math.round(r.x - o.x), y: Math.round(r.y - o.y),
            width: Math.round(r.width), height: Math.round(r.height)};
};
const shown = element => element.checkVisibility();
)js";

} // namespace

std::string Quoted(std::string_view text) {
    return Json(std::string(text)).dump();
}

std::string ControlElement(std::string_view window, std::string_view control) {
    return "ctl(" + Quoted(window) + ", " + Quoted(control) + ")";
}

Json Page::Evaluate(std::string_view expression) {
    return Remote(expression, true).value("value", Json());
}

std::string Page::ElementId(std::string_view expression) {
    return Remote(expression, false)["objectId"];
}

Json Page::Remote(std::string_view expression, bool byValue) {
    const Json result = browser_.Call(
        "Runtime.evaluate", {{"expression", std::string("(() => {") + std::string(helpers) +
                                                "return (" + std::string(expression) + ");})()"},
                             {"returnByValue", byValue},
                             {"awaitPromise", true}});
    if (result.contains("exceptionDetails"))
        throw std::runtime_error("the page: " + result["exceptionDetails"]["exception"].value(
                                                    "description", std::string("error")));
    return result["result"];
}

Snapshot Page::Screenshot(std::string_view window) {
    const Json area = Evaluate("client(" + Quoted(window) + ").getBoundingClientRect().toJSON()");
    const Json shot = browser_.Call("Page.captureScreenshot", {{"format", "png"},
                                                               {"clip",
                                                                {{"x", area["x"]},
                                                                 {"y", area["y"]},
                                                                 {"width", area["width"]},
                                                                 {"height", area["height"]},
                                                                 {"scale", 1}}}});
    const std::string data = shot["data"];
    const QImage image = QImage::fromData(
        QByteArray::fromBase64(QByteArray(data.data(), qsizetype(data.size()))), "PNG");
    return SnapshotOf(image, image.width() / area["width"].get<double>());
}

Rect Page::Box(std::string_view window, std::string_view control) {
    const Json at =
        Evaluate("box(" + ControlElement(window, control) + ", client(" + Quoted(window) + "))");
    return {at["x"], at["y"], at["width"], at["height"]};
}

WindowLook Page::Look(std::string_view window) {
    const Json look = Evaluate("(w => { const c = part(w, 'client').getBoundingClientRect(); "
                               "const r = w.getBoundingClientRect(), icon = part(w, 'icon'); "
                               // Centred on the desktop, the page's work area.
                               "const d = part(document, 'desktop').getBoundingClientRect(); "
                               "return {caption: part(w, 'caption')?.textContent ?? '', "
                               "titleBar: !!part(w, 'titlebar'), minimize: !!part(w, 'minimize'), "
                               "maximize: !!part(w, 'maximize'), "
                               "sizable: w.hasAttribute('data-resizable'), "
                               "taskBar: !!document.querySelector(`[data-part=\"taskbar\"] "
                               "[data-taskbar=\"${w.dataset.form}\"]`), "
                               "centred: Math.abs(r.x + r.width / 2 - d.x - d.width / 2) <= 1 && "
                               "Math.abs(r.y + r.height / 2 - d.y - d.height / 2) <= 1, "
                               "width: Math.round(c.width), height: Math.round(c.height), "
                               "icon: icon?.naturalWidth ?? 0}; })(win(" +
                               Quoted(window) + "))");
    return {.caption = look["caption"],
            .titleBar = look["titleBar"],
            .minimizeButton = look["minimize"],
            .maximizeButton = look["maximize"],
            .resizable = look["sizable"],
            .taskBarButton = look["taskBar"],
            .centred = look["centred"].get<bool>(),
            .clientWidth = look["width"],
            .clientHeight = look["height"],
            .iconSize = look["icon"]};
}

Font Page::FontOf(std::string_view window, std::string_view control) {
    const Json font =
        Evaluate("(s => ({face: s.fontFamily.split(',')[0].replace(/[\"']/g, '').trim(), "
                 "size: parseFloat(s.fontSize), weight: +s.fontWeight, "
                 "italic: s.fontStyle == 'italic', "
                 "underline: s.textDecorationLine.includes('underline'), "
                 "strikeOut: s.textDecorationLine.includes('line-through')}))(getComputedStyle(" +
                 ControlElement(window, control) + "))");
    return {font["face"],      int(std::lround(font["size"].get<double>())),
            font["weight"],    font["italic"],
            font["underline"], font["strikeOut"]};
}

Accessible Page::AccessibleOf(std::string_view window, std::string_view control) {
    static const std::map<std::string, Role> roles{{"StaticText", Role::StaticText},
                                                   {"textbox", Role::EditableText},
                                                   {"button", Role::Button},
                                                   {"menuitem", Role::MenuItem}};
    static const std::set<std::string> containers{"generic", "none", "RootWebArea"};
    const Json nodes = browser_.Call("Accessibility.getPartialAXTree",
                                     {{"objectId", ElementId(ControlElement(window, control))},
                                      {"fetchRelatives", true}})["nodes"];
    for (const Json& node : nodes) {
        const std::string role = node["role"].value("value", std::string());
        if (!node.contains("backendDOMNodeId") || node.value("ignored", false) ||
            containers.contains(role))
            continue;
        const auto known = roles.find(role);
        return {known != roles.end() ? known->second : Role::Other,
                node.contains("name") ? node["name"].value("value", std::string()) : std::string(),
                Box(window, control)};
    }
    return {};
}

} // namespace TestDriver::web
