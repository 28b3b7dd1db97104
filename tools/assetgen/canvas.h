#pragma once

#include "colour.h"
#include "geometry.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace assetgen {

struct Rgba {
    Rgb colour;
    double alpha = 1.0;
};

// What a shape is filled with, asked once per covered pixel centre.
using Paint = std::function<Rgba(Point)>;

struct GradientStop {
    double at = 0; // pixels: a row, or a distance from a centre
    Rgb colour;
};

Paint solid(Rgb colour, double alpha = 1.0);
// Stops sorted by row; before the first and after the last the end colours hold.
Paint verticalGradient(std::vector<GradientStop> stops);
// Stops sorted by distance from `centre`.
Paint radialGradient(Point centre, std::vector<GradientStop> stops);
// A soft halo: `strength` at innerRadius, fading smoothly to nothing at outerRadius.
Paint halo(Point centre, double innerRadius, double outerRadius, Rgb colour, double strength);

enum class Edges {
    Smooth, // partly covered pixels blend: for pictures with many colours
    Crisp,  // a pixel is in a shape when its centre is: for small fixed-palette icons
};

class Canvas {
public:
    Canvas(int width, int height, Edges edges);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgba pixel(int x, int y) const;

    void fill(const Shape& shape, const Paint& paint);
    // The cartoon look: the shape over a rim of `outlineWidth` pixels in `outline`.
    void fillOutlined(const Shape& shape, const Paint& paint, const Rgb& outline,
                      double outlineWidth);

private:
    std::size_t offset(int x, int y) const;
    double coverage(double distance) const;
    void blend(int x, int y, Rgba source, double amount);

    int width_;
    int height_;
    Edges edges_;
    std::vector<Rgba> pixels_; // straight (not premultiplied) colour; starts fully transparent
};

} // namespace assetgen
