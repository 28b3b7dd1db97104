#include "bot.h"
#include "canvas.h"
#include "gif.h"
#include "pictures.h"
#include "quantize.h"

namespace assetgen {

namespace {
constexpr int width = 99;
constexpr int height = 63;
constexpr std::size_t fileSize = 1903;
// Sixteen entries (the transparent one among them) let the codes start at five bits, which keeps
// the compressed picture within the file's fixed size.
constexpr std::size_t colours = 16;

void drawGreeting(Canvas& canvas, const BotLook& look) {
    const Shape bubble =
        unite(roundedBox({80, 20}, 17, 13, 8), convexPolygon({{65, 24}, {70, 31}, {60, 32}}));
    canvas.fillOutlined(bubble, solid(white), look.outline, 1.4);
    const double stroke = 1.7;
    const Shape letterH =
        unite(unite(capsule({70, 14}, {70, 26}, stroke), capsule({77, 14}, {77, 26}, stroke)),
              capsule({70, 20}, {77, 20}, stroke));
    const Shape letterI = unite(circle({83, 14.5}, 1.9), capsule({83, 19}, {83, 26}, stroke));
    const Shape mark = unite(capsule({89, 14}, {89, 22}, stroke), circle({89, 26}, 1.9));
    canvas.fill(unite(letterH, unite(letterI, mark)), solid(look.screenTop));
}
} // namespace

Bytes splashPicture() {
    Canvas canvas(width, height, Edges::Smooth);
    const BotLook look = paintedLook(1.4);
    drawBotHead(canvas, {{32, 37}, 0.85}, look);
    drawGreeting(canvas, look);
    return encodeGif(quantizeAdaptive(canvas, {.colours = colours, .transparentIndex0 = true}),
                     {.paddedSize = fileSize});
}

} // namespace assetgen
