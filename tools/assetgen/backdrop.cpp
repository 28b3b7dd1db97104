#include "bmp.h"
#include "bot.h"
#include "canvas.h"
#include "pictures.h"
#include "quantize.h"

#include <array>

namespace assetgen {

namespace {
constexpr int width = 423;
constexpr int height = 500;

// The window shows columns 96..369 and rows 0..350; the reply label hides the top-left corner of
// that and the text box the bottom rows from 328, so Quibly stands in the middle.
constexpr Placement quibly{{233, 168}, 2.0};

void drawSky(Canvas& canvas) {
    canvas.fill(everywhere(),
                verticalGradient({{0, hex(0x3C8BDC)}, {200, hex(0x8ECDF5)}, {300, hex(0xDDF3FF)}}));
}

void drawSun(Canvas& canvas) {
    const Point centre{326, 58};
    canvas.fill(circle(centre, 80), halo(centre, 22, 80, hex(0xFFF3C0), 0.6));
    canvas.fill(
        circle(centre, 24),
        radialGradient(centre, {{0, hex(0xFFF8C8)}, {14, hex(0xFFE46A)}, {24, hex(0xFFC93C)}}));
}

void drawCloud(Canvas& canvas, Point at, double size) {
    const auto puff = [&](double dx, double dy, double radius) {
        return circle({at.x + dx * size, at.y + dy * size}, radius * size);
    };
    const Shape cloud = unite(
        unite(puff(-20, 4, 12), puff(0, -4, 17)),
        unite(puff(20, 3, 12), roundedBox({at.x, at.y + 8 * size}, 30 * size, 9 * size, 9 * size)));
    canvas.fill(cloud,
                verticalGradient({{at.y - 20 * size, white}, {at.y + 17 * size, hex(0xDCEAF7)}}));
}

void drawHills(Canvas& canvas) {
    canvas.fill(unite(circle({120, 640}, 395), circle({430, 660}, 420)),
                verticalGradient({{240, hex(0xA9DC8E)}, {330, hex(0x80C46C)}}));
    canvas.fill(
        unite(circle({250, 800}, 510), circle({-40, 700}, 400)),
        verticalGradient({{285, hex(0x74C957)}, {360, hex(0x4FAA3F)}, {500, hex(0x2F7D2C)}}));
}

void drawFlower(Canvas& canvas, Point centre, const Rgb& petals) {
    // Five petals at 72-degree steps, starting straight up.
    constexpr std::array<Point, 5> directions{
        Point{0.0, -1.0}, Point{0.9510565, -0.3090170}, Point{0.5877853, 0.8090170},
        Point{-0.5877853, 0.8090170}, Point{-0.9510565, -0.3090170}};
    Shape flower = circle(centre, 2.2);
    for (const Point direction : directions)
        flower = unite(std::move(flower),
                       circle({centre.x + direction.x * 3.2, centre.y + direction.y * 3.2}, 2.3));
    canvas.fill(capsule({centre.x, centre.y + 3}, {centre.x, centre.y + 10}, 0.8),
                solid(hex(0x2E7D32)));
    canvas.fill(flower, solid(petals));
    canvas.fill(circle(centre, 1.8), solid(hex(0xFFC928)));
}

void drawMeadow(Canvas& canvas) {
    drawFlower(canvas, {112, 318}, white);
    drawFlower(canvas, {141, 309}, hex(0xFF9EC4));
    drawFlower(canvas, {318, 314}, hex(0xFFE066));
    drawFlower(canvas, {350, 304}, white);
    drawFlower(canvas, {160, 392}, white);
    drawFlower(canvas, {300, 420}, hex(0xFF9EC4));
}

void drawQuibly(Canvas& canvas) {
    const BotLook look = paintedLook(2.5);
    canvas.fill(ellipse({quibly.headCentre.x, 325}, 52, 8), solid(hex(0x2F6B2A), 0.35));
    drawBotBody(canvas, quibly, look);
    drawBotHead(canvas, quibly, look);
}
} // namespace

Bytes backdropBitmap() {
    Canvas canvas(width, height, Edges::Smooth);
    drawSky(canvas);
    drawSun(canvas);
    drawCloud(canvas, {222, 52}, 1.0);
    drawCloud(canvas, {128, 136}, 0.7);
    drawCloud(canvas, {338, 166}, 0.62);
    drawHills(canvas);
    drawMeadow(canvas);
    drawQuibly(canvas);
    return encodeBmp8(quantizeAdaptive(canvas, {.colours = 256}));
}

} // namespace assetgen
