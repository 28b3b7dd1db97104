#include "geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace assetgen {

namespace {
double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}
} // namespace

Shape everywhere() {
    return [](Point) { return -std::numeric_limits<double>::max(); };
}

Shape circle(Point centre, double radius) {
    return [=](Point p) { return length(p.x - centre.x, p.y - centre.y) - radius; };
}

Shape ellipse(Point centre, double radiusX, double radiusY) {
    const double shortest = std::min(radiusX, radiusY);
    return [=](Point p) {
        return (length((p.x - centre.x) / radiusX, (p.y - centre.y) / radiusY) - 1.0) * shortest;
    };
}

Shape roundedBox(Point centre, double halfWidth, double halfHeight, double cornerRadius) {
    return [=](Point p) {
        const double qx = std::abs(p.x - centre.x) - halfWidth + cornerRadius;
        const double qy = std::abs(p.y - centre.y) - halfHeight + cornerRadius;
        return length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
               cornerRadius;
    };
}

Shape capsule(Point from, Point to, double radius) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double lengthSquared = dx * dx + dy * dy;
    return [=](Point p) {
        const double px = p.x - from.x;
        const double py = p.y - from.y;
        const double along =
            lengthSquared > 0 ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0, 1.0) : 0.0;
        return length(px - along * dx, py - along * dy) - radius;
    };
}

Shape arc(Point centre, double radius, double spread, double thickness) {
    const double down = std::sqrt(1.0 - spread * spread);
    const Point leftEnd{centre.x - radius * spread, centre.y + radius * down};
    const Point rightEnd{centre.x + radius * spread, centre.y + radius * down};
    return [=](Point p) {
        const double vx = p.x - centre.x;
        const double vy = p.y - centre.y;
        const bool withinSweep = vy * spread >= std::abs(vx) * down;
        const double toCurve = withinSweep ? std::abs(length(vx, vy) - radius)
                                           : std::min(length(p.x - leftEnd.x, p.y - leftEnd.y),
                                                      length(p.x - rightEnd.x, p.y - rightEnd.y));
        return toCurve - thickness / 2;
    };
}

Shape convexPolygon(std::vector<Point> corners) {
    if (corners.size() < 3)
        throw std::invalid_argument("polygon: needs at least three corners");
    double twiceArea = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Point a = corners[i];
        const Point b = corners[(i + 1) % corners.size()];
        twiceArea += a.x * b.y - b.x * a.y;
    }
    const double outward = twiceArea > 0 ? 1.0 : -1.0;
    return [corners = std::move(corners), outward](Point p) {
        double distance = -std::numeric_limits<double>::max();
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Point a = corners[i];
            const Point b = corners[(i + 1) % corners.size()];
            const double edge = length(b.x - a.x, b.y - a.y);
            const double side = ((b.y - a.y) * (p.x - a.x) - (b.x - a.x) * (p.y - a.y)) / edge;
            distance = std::max(distance, side * outward);
        }
        return distance;
    };
}

Shape unite(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](Point p) { return std::min(a(p), b(p)); };
}

Shape grow(Shape shape, double by) {
    return [shape = std::move(shape), by](Point p) { return shape(p) - by; };
}

} // namespace assetgen
