#pragma once

#include <functional>
#include <vector>

namespace assetgen {

struct Point {
    double x = 0;
    double y = 0;
};

// A shape is a signed distance in pixels: negative inside, positive outside. Every shape here
// changes by at most one per pixel moved, so a value of d promises nothing of the shape lies
// closer than d; the canvas relies on that to skip empty regions.
using Shape = std::function<double(Point)>;

Shape everywhere();
Shape circle(Point centre, double radius);
// Exact on the axes and a close under-estimate elsewhere: enough for one-pixel edge smoothing.
Shape ellipse(Point centre, double radiusX, double radiusY);
Shape roundedBox(Point centre, double halfWidth, double halfHeight, double cornerRadius);
Shape capsule(Point from, Point to, double radius);
// The lower part of a circle, like a smile: `spread` is the sine of the half-angle it spans
// either side of straight down; the ends are round.
Shape arc(Point centre, double radius, double spread, double thickness);
// Corners in either winding order; the polygon must be convex.
Shape convexPolygon(std::vector<Point> corners);

Shape unite(Shape a, Shape b);
// Positive `by` grows the shape outwards, negative shrinks it.
Shape grow(Shape shape, double by);

} // namespace assetgen
