#include "Page.h"

#include <QByteArray>
#include <QImage>
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
    const QImage image =
        QImage::fromData(QByteArray::fromBase64(QByteArray(data.data(), qsizetype(data.size()))),
                         "PNG")
            .convertToFormat(QImage::Format_RGB32);
    Snapshot snapshot{
        image.width(), image.height(), image.width() / area["width"].get<double>(), {}};
    snapshot.pixels.reserve(std::size_t(image.width()) * std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            snapshot.pixels.push_back({qRed(pixel), qGreen(pixel), qBlue(pixel)});
        }
    return snapshot;
}

Rect Page::Box(std::string_view window, std::string_view control) {
    const Json at = Evaluate("box(ctl(" + Quoted(window) + ", " + Quoted(control) + "), client(" +
                             Quoted(window) + "))");
    return {at["x"], at["y"], at["width"], at["height"]};
}

} // namespace TestDriver::web
