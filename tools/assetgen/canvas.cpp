#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace assetgen {

namespace {
constexpr int tileSize = 8;
// A pixel centre lies at most this far from its tile's centre.
const double tileReach = (tileSize / 2.0 - 0.5) * std::sqrt(2.0);

Rgb colourAlong(const std::vector<GradientStop>& stops, double position) {
    if (position <= stops.front().at)
        return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (position <= stops[i].at) {
            const GradientStop& from = stops[i - 1];
            const GradientStop& to = stops[i];
            return mix(from.colour, to.colour, (position - from.at) / (to.at - from.at));
        }
    }
    return stops.back().colour;
}

void requireStops(const std::vector<GradientStop>& stops) {
    if (stops.empty())
        throw std::invalid_argument("gradient: needs at least one stop");
}
} // namespace

Paint solid(Rgb colour, double alpha) {
    return [=](Point) { return Rgba{colour, alpha}; };
}

Paint verticalGradient(std::vector<GradientStop> stops) {
    requireStops(stops);
    return [stops = std::move(stops)](Point p) { return Rgba{colourAlong(stops, p.y)}; };
}

Paint radialGradient(Point centre, std::vector<GradientStop> stops) {
    requireStops(stops);
    return [centre, stops = std::move(stops)](Point p) {
        const double dx = p.x - centre.x;
        const double dy = p.y - centre.y;
        return Rgba{colourAlong(stops, std::sqrt(dx * dx + dy * dy))};
    };
}

Paint halo(Point centre, double innerRadius, double outerRadius, Rgb colour, double strength) {
    return [=](Point p) {
        const double dx = p.x - centre.x;
        const double dy = p.y - centre.y;
        const double t = std::clamp(
            (std::sqrt(dx * dx + dy * dy) - innerRadius) / (outerRadius - innerRadius), 0.0, 1.0);
        const double fade = (1.0 - t) * (1.0 - t);
        return Rgba{colour, strength * fade};
    };
}

Canvas::Canvas(int width, int height, Edges edges)
    : width_(width), height_(height), edges_(edges),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Rgba{{}, 0.0}) {
    if (width <= 0 || height <= 0)
        throw std::invalid_argument("canvas: size " + std::to_string(width) + " x " +
                                    std::to_string(height) + " is empty");
}

std::size_t Canvas::offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
}

Rgba Canvas::pixel(int x, int y) const {
    return pixels_[offset(x, y)];
}

double Canvas::coverage(double distance) const {
    if (edges_ == Edges::Crisp)
        return distance <= 0.0 ? 1.0 : 0.0;
    return std::clamp(0.5 - distance, 0.0, 1.0);
}

void Canvas::blend(int x, int y, Rgba source, double amount) {
    Rgba& target = pixels_[offset(x, y)];
    const double a = source.alpha * amount;
    const double kept = target.alpha * (1.0 - a);
    const double alpha = a + kept;
    if (alpha <= 0.0)
        return;
    const auto channel = [&](double over, double under) {
        return (over * a + under * kept) / alpha;
    };
    target.colour = {channel(source.colour.r, target.colour.r),
                     channel(source.colour.g, target.colour.g),
                     channel(source.colour.b, target.colour.b)};
    target.alpha = alpha;
}

void Canvas::fill(const Shape& shape, const Paint& paint) {
    for (int tileY = 0; tileY < height_; tileY += tileSize) {
        for (int tileX = 0; tileX < width_; tileX += tileSize) {
            const Point tileCentre{tileX + tileSize / 2.0, tileY + tileSize / 2.0};
            if (shape(tileCentre) > tileReach + 0.5)
                continue; // no pixel centre of this tile can be touched
            for (int y = tileY; y < std::min(tileY + tileSize, height_); ++y) {
                for (int x = tileX; x < std::min(tileX + tileSize, width_); ++x) {
                    const Point centre{x + 0.5, y + 0.5};
                    const double amount = coverage(shape(centre));
                    if (amount > 0.0)
                        blend(x, y, paint(centre), amount);
                }
            }
        }
    }
}

void Canvas::fillOutlined(const Shape& shape, const Paint& paint, const Rgb& outline,
                          double outlineWidth) {
    fill(grow(shape, outlineWidth), solid(outline));
    fill(shape, paint);
}

} // namespace assetgen
