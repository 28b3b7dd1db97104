#include "bot.h"

#include "palette.h"

namespace assetgen {

namespace {
// Maps design units around the head's centre to pixels.
class Frame {
public:
    explicit Frame(const Placement& placement) : placement_(placement) {}

    Point at(double x, double y) const {
        return {placement_.headCentre.x + x * placement_.scale,
                placement_.headCentre.y + y * placement_.scale};
    }
    double size(double units) const { return units * placement_.scale; }

private:
    Placement placement_;
};

Shape heart(Point centre, double size) {
    const Shape lobes = unite(circle({centre.x - size * 0.5, centre.y - size * 0.25}, size * 0.56),
                              circle({centre.x + size * 0.5, centre.y - size * 0.25}, size * 0.56));
    return unite(lobes, convexPolygon({{centre.x - size * 1.03, centre.y - size * 0.05},
                                       {centre.x + size * 1.03, centre.y - size * 0.05},
                                       {centre.x, centre.y + size * 1.05}}));
}

void drawEyes(Canvas& canvas, const Frame& frame, const BotLook& look) {
    for (const double side : {-1.0, 1.0}) {
        const Point eye = frame.at(side * 9, -1);
        if (look.highlights)
            canvas.fill(circle(eye, frame.size(10)),
                        halo(eye, frame.size(3), frame.size(10), look.glow, 0.28));
        canvas.fill(ellipse(eye, frame.size(4), frame.size(5)), solid(look.glow));
        if (look.highlights) {
            canvas.fill(circle(frame.at(side * 9 + 1.5, -3), frame.size(1.4)), solid(white));
            canvas.fill(ellipse(frame.at(side * 15.5, 8), frame.size(3.2), frame.size(2)),
                        solid(look.blush, 0.6));
        }
    }
    canvas.fill(arc(frame.at(0, 3), frame.size(8), 0.75, frame.size(2.6)), solid(look.glow));
}
} // namespace

BotLook paintedLook(double outlineWidth) {
    return {.outline = hex(0x2B3650),
            .headTop = hex(0xF4F8FC),
            .headBottom = hex(0xB9C6D8),
            .ear = hex(0xFF7B6B),
            .stalk = hex(0x8E9BB0),
            .bulb = hex(0xFF5A52),
            .screenTop = hex(0x2B3C78),
            .screenBottom = hex(0x151E44),
            .glow = hex(0x66F0FF),
            .blush = hex(0xFF8FB8),
            .outlineWidth = outlineWidth,
            .highlights = true};
}

BotLook sixteenColourLook() {
    return {.outline = hex(win16::black),
            .headTop = hex(win16::silver),
            .headBottom = hex(win16::silver),
            .ear = hex(win16::red),
            .stalk = hex(win16::gray),
            .bulb = hex(win16::red),
            .screenTop = hex(win16::navy),
            .screenBottom = hex(win16::navy),
            .glow = hex(win16::aqua),
            .blush = hex(win16::fuchsia),
            .outlineWidth = 1.0,
            .highlights = false};
}

void drawBotHead(Canvas& canvas, const Placement& placement, const BotLook& look) {
    const Frame frame(placement);
    const double rim = look.outlineWidth;

    canvas.fillOutlined(capsule(frame.at(0, -20), frame.at(0, -30), frame.size(1.6)),
                        solid(look.stalk), look.outline, rim);
    canvas.fillOutlined(circle(frame.at(0, -34), frame.size(4.5)), solid(look.bulb), look.outline,
                        rim);
    if (look.highlights)
        canvas.fill(circle(frame.at(-1.5, -35.5), frame.size(1.4)), solid(white, 0.85));
    for (const double side : {-1.0, 1.0})
        canvas.fillOutlined(
            roundedBox(frame.at(side * 30, 2), frame.size(4), frame.size(8), frame.size(3)),
            solid(look.ear), look.outline, rim);

    canvas.fillOutlined(roundedBox(frame.at(0, 0), frame.size(28), frame.size(21), frame.size(11)),
                        verticalGradient({{frame.at(0, -21).y, look.headTop},
                                          {frame.at(0, 21).y, look.headBottom}}),
                        look.outline, rim);
    canvas.fill(roundedBox(frame.at(0, 1), frame.size(21), frame.size(14), frame.size(8)),
                verticalGradient({{frame.at(0, -13).y, look.screenTop},
                                  {frame.at(0, 15).y, look.screenBottom}}));
    drawEyes(canvas, frame, look);
}

void drawBotBody(Canvas& canvas, const Placement& placement, const BotLook& look) {
    const Frame frame(placement);
    const double rim = look.outlineWidth;
    const Paint metal =
        verticalGradient({{frame.at(0, 24).y, look.headTop}, {frame.at(0, 60).y, look.headBottom}});

    // Waving arm, then resting arm: both behind the body.
    canvas.fillOutlined(unite(capsule(frame.at(-17, 35), frame.at(-32, 18), frame.size(3.5)),
                              circle(frame.at(-34, 15), frame.size(5))),
                        metal, look.outline, rim);
    canvas.fillOutlined(unite(capsule(frame.at(17, 35), frame.at(25, 54), frame.size(3.5)),
                              circle(frame.at(26, 57), frame.size(5))),
                        metal, look.outline, rim);
    for (const double side : {-1.0, 1.0}) {
        canvas.fillOutlined(
            capsule(frame.at(side * 8, 58), frame.at(side * 8, 72), frame.size(3.8)),
            solid(look.stalk), look.outline, rim);
        canvas.fillOutlined(
            roundedBox(frame.at(side * 9, 75), frame.size(7), frame.size(4), frame.size(3.5)),
            solid(look.ear), look.outline, rim);
    }
    canvas.fillOutlined(roundedBox(frame.at(0, 23), frame.size(6), frame.size(3), frame.size(1.5)),
                        solid(look.stalk), look.outline, rim);
    canvas.fillOutlined(roundedBox(frame.at(0, 42), frame.size(19), frame.size(18), frame.size(8)),
                        metal, look.outline, rim);
    canvas.fill(roundedBox(frame.at(0, 43), frame.size(11), frame.size(10), frame.size(4)),
                verticalGradient(
                    {{frame.at(0, 33).y, look.screenTop}, {frame.at(0, 53).y, look.screenBottom}}));
    canvas.fill(heart(frame.at(0, 42.5), frame.size(4.5)), solid(look.bulb));
}

} // namespace assetgen
