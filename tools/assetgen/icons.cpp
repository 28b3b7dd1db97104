#include "bot.h"
#include "canvas.h"
#include "ico.h"
#include "palette.h"
#include "pictures.h"
#include "pixel_art.h"
#include "quantize.h"

namespace assetgen {

namespace {
constexpr int iconSize = 32;

// The program's emblem: Quibly's face screen shaped as a speech bubble, antenna on top.
struct EmblemLook {
    Rgb outline;
    Rgb rim;
    Rgb face;
    Rgb features; // eyes and smile
    Rgb stalk;
    Rgb bulb;
};

Canvas drawEmblem(const EmblemLook& look) {
    Canvas canvas(iconSize, iconSize, Edges::Crisp);
    canvas.fillOutlined(capsule({16, 3}, {16, 8}, 0.6), solid(look.stalk), look.outline, 1.0);
    canvas.fillOutlined(circle({16, 2.5}, 1.9), solid(look.bulb), look.outline, 1.0);
    const Shape screen = roundedBox({16, 18}, 14.5, 10, 6);
    canvas.fillOutlined(unite(screen, convexPolygon({{6, 23}, {13, 25}, {3.5, 31}})),
                        solid(look.rim), look.outline, 1.0);
    canvas.fill(grow(screen, -1), solid(look.face));
    for (const double eyeX : {11.0, 21.0})
        canvas.fill(ellipse({eyeX, 16}, 2, 2.6), solid(look.features));
    canvas.fill(arc({16, 17}, 5.5, 0.8, 1.6), solid(look.features));
    return canvas;
}

IndexedImage smallEmblem() {
    // Hand-set at 16 x 16: a scaled-down drawing would blur the eyes and the smile.
    return fromPixelArt(
        {
            ".......rr.......",
            ".......rr.......",
            ".......kk.......",
            "..kkkkkkkkkkkk..",
            ".kssssssssssssk.",
            "ksnnnnnnnnnnnnsk",
            "ksnnaannnnaannsk",
            "ksnnaannnnaannsk",
            "ksnnnnnnnnnnnnsk",
            "ksnnannnnnnannsk",
            "ksnnnaaaaaannnsk",
            "ksnnnnnnnnnnnnsk",
            ".kssssssssssssk.",
            ".ksskkkkkkkkkk..",
            ".ksk............",
            ".kk.............",
        },
        {{'k', win16::black},
         {'r', win16::red},
         {'s', win16::silver},
         {'n', win16::navy},
         {'a', win16::aqua}},
        windowsPalette16());
}
} // namespace

Bytes windowIcon() {
    Canvas canvas(iconSize, iconSize, Edges::Crisp);
    drawBotHead(canvas, {{16, 19.5}, 0.45}, sixteenColourLook());
    return encodeIco({{mapToPalette(canvas, windowsPalette16()), 4}});
}

Bytes programIcon() {
    const EmblemLook inColour{hex(win16::black), hex(win16::silver), hex(win16::navy),
                              hex(win16::aqua),  hex(win16::gray),   hex(win16::red)};
    const EmblemLook inBlackAndWhite{hex(win16::black), white, hex(win16::black), white, white,
                                     hex(win16::black)};
    return encodeIco({{mapToPalette(drawEmblem(inBlackAndWhite), blackAndWhitePalette()), 1},
                      {mapToPalette(drawEmblem(inColour), windowsPalette16()), 4},
                      {smallEmblem(), 4}});
}

} // namespace assetgen
