#include "Browser.h"

#include <QByteArray>
#include <cmath>

namespace TestDriver::web {

std::unique_ptr<Browser> OpenBrowser(const std::string& address, Viewport viewport,
                                     const std::string& pageScript) {
    if (address.starts_with("ws://"))
        return OpenBidi(address, viewport, pageScript);
    if (address.starts_with("http://"))
        return OpenClassicWebDriver(address, viewport);
    return OpenChromium(address, viewport, pageScript);
}

QImage PngOf(const std::string& base64) {
    return QImage::fromData(
        QByteArray::fromBase64(QByteArray(base64.data(), qsizetype(base64.size()))), "PNG");
}

// WebDriver points are whole CSS pixels.
Json MouseDragActions(const std::vector<At>& path) {
    const auto move = [](At at) {
        return Json{{"type", "pointerMove"},
                    {"x", std::lround(at.x)},
                    {"y", std::lround(at.y)},
                    {"duration", 0}};
    };
    Json actions{move(path.front()), {{"type", "pointerDown"}, {"button", 0}}};
    for (std::size_t i = 1; i < path.size(); ++i)
        actions.push_back(move(path[i]));
    actions.push_back({{"type", "pointerUp"}, {"button", 0}});
    return {{"type", "pointer"},
            {"id", "mouse"},
            {"parameters", {{"pointerType", "mouse"}}},
            {"actions", actions}};
}

Json KeyActions(const std::string& webDriverKey) {
    return {{"type", "key"},
            {"id", "keyboard"},
            {"actions",
             {{{"type", "keyDown"}, {"value", webDriverKey}},
              {{"type", "keyUp"}, {"value", webDriverKey}}}}};
}

} // namespace TestDriver::web
