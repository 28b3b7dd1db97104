#include "Browser.h"

#include <QByteArray>
#include <cmath>
#include <stdexcept>

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
void WebDriverBrowser::Drag(const std::vector<At>& path) {
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
    PerformActions(Json::array({{{"type", "pointer"},
                                 {"id", "mouse"},
                                 {"parameters", {{"pointerType", "mouse"}}},
                                 {"actions", actions}}}));
}

void WebDriverBrowser::TypeCharacter(const std::string& character) {
    const Json actions = Json::array(
        {{{"type", "keyDown"}, {"value", character}}, {{"type", "keyUp"}, {"value", character}}});
    PerformActions(Json::array({{{"type", "key"}, {"id", "keyboard"}, {"actions", actions}}}));
}

std::optional<std::string> WebDriverBrowser::TakeStep() {
    if (steps_.empty())
        return std::nullopt;
    std::string step = std::move(steps_.front());
    steps_.pop_front();
    return step;
}

std::string WebDriverBrowser::WhyNoAccessibilityTree() const {
    return Protocol() + " offers no way to read the accessibility tree";
}

Json WebDriverBrowser::AccessibilityNodesOf(const std::string&) {
    throw std::logic_error("AccessibilityNodesOf: " + WhyNoAccessibilityTree());
}

} // namespace TestDriver::web
