// What every driver shares: the colour scheme, the rule for transparent picture pixels, running a
// scenario from the toolkit's callbacks, closing a window, captions as shown, and reading
// snapshots.

#include "Driver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>

namespace TestDriver {

Rgb Driver::SystemColour(int number) {
    static const std::map<int, Rgb> standard{
        {5, {255, 255, 255}}, {8, {0, 0, 0}}, {14, {255, 255, 255}}, {18, {0, 0, 0}}};
    if (number == 15)
        return ButtonFace();
    if (!standard.contains(number))
        throw std::out_of_range("no system colour " + std::to_string(number) + " in the scheme");
    return standard.at(number);
}

std::optional<Rgb> Driver::PicturePixel(std::string_view picture, Point point) {
    const auto [colour, alpha] = PictureSample(picture, point);
    return alpha == 0 ? std::nullopt : std::optional(colour);
}

void Driver::RunScenario(const std::function<void()>& scenario) {
    try {
        scenario();
    } catch (const std::exception& error) {
        ADD_FAILURE() << "the scenario stopped: " << error.what();
    }
}

bool Driver::Close(std::string_view window) {
    return !AnswerMessageBox(Answer::No, [&] { PressCloseBox(window); }).buttons.empty();
}

Rgb Snapshot::At(Point point) const {
    const int x = std::clamp(int(std::lround(point.x * scale)), 0, width - 1);
    const int y = std::clamp(int(std::lround(point.y * scale)), 0, height - 1);
    return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
}

bool Snapshot::Shows(Rect area, Rgb colour) const {
    const int left = std::max(0, int(std::lround(area.x * scale)));
    const int top = std::max(0, int(std::lround(area.y * scale)));
    const int right = std::min(width, int(std::lround((area.x + area.width) * scale)));
    const int bottom = std::min(height, int(std::lround((area.y + area.height) * scale)));
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] == colour)
                return true;
    return false;
}

std::string WithoutAccessKeys(std::string_view caption) {
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i)
        shown.push_back(caption[i] == '&' && i + 1 < caption.size() ? caption[++i] : caption[i]);
    return shown;
}

std::ostream& operator<<(std::ostream& out, const Rect& rect) {
    return out << "(" << rect.x << ", " << rect.y << ", " << rect.width << " x " << rect.height
               << ")";
}

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "rgb(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
}

std::ostream& operator<<(std::ostream& out, const Font& font) {
    return out << font.face << " " << font.pixelHeight << " px, weight " << font.weight
               << (font.italic ? ", italic" : "") << (font.underline ? ", underlined" : "")
               << (font.strikeOut ? ", struck out" : "");
}

std::ostream& operator<<(std::ostream& out, const SeenFromOutside& seen) {
    return out << std::string(2 * std::size_t(seen.depth), ' ') << seen.role << " \"" << seen.name
               << "\"";
}

std::vector<SeenFromOutside> Under(const std::vector<SeenFromOutside>& tree,
                                   std::vector<SeenFromOutside>::const_iterator window) {
    const auto end = std::find_if(window + 1, tree.end(), [&](const SeenFromOutside& seen) {
        return seen.depth <= window->depth;
    });
    return {window + 1, end};
}

std::ostream& operator<<(std::ostream& out, Key key) {
    static constexpr std::array names{"Return", "Escape", "Space", "Tab", "F1"};
    return out << names.at(static_cast<std::size_t>(key));
}

std::ostream& operator<<(std::ostream& out, Answer answer) {
    static constexpr std::array names{"Yes", "No", "Return", "Escape"};
    return out << names.at(static_cast<std::size_t>(answer));
}

} // namespace TestDriver
