#include "Bot.h"
#include "Encoders.h"
#include "Pictures.h"

#include <QPainterPath>
#include <array>
#include <functional>
#include <map>
#include <span>
#include <string_view>

namespace AssetGen {
namespace {

// The sixteen colours of the Windows standard palette, in its order: black first.
const QList<QRgb> windowsColours{
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
const QList<QRgb> blackAndWhite{0xFF000000, 0xFFFFFFFF};

// A drawing set pixel by pixel: each character is a colour of the legend, '.' is see-through.
QImage PixelArt(std::span<const std::string_view> rows, const std::map<char, QRgb>& legend) {
    QImage drawing = NewDrawing(int(rows.front().size()), int(rows.size()));
    int y = 0;
    for (const std::string_view row : rows) {
        for (int x = 0; x < int(row.size()); ++x)
            if (row[std::size_t(x)] != '.')
                drawing.setPixel(x, y, legend.at(row[std::size_t(x)]));
        ++y;
    }
    return drawing;
}

// The emblem at 16 x 16, set by hand: a scaled-down drawing would blur the eyes and the smile.
// clang-format off
constexpr std::array<std::string_view, 16> smallEmblem{
    ".......rr.......",
    ".......rr.......",
    ".......gg.......",
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
};
// clang-format on
const std::map<char, QRgb> smallEmblemColours{{'k', 0xFF000000}, {'r', 0xFFFF0000},
                                              {'g', 0xFF808080}, {'s', 0xFFC0C0C0},
                                              {'n', 0xFF000080}, {'a', 0xFF00FFFF}};

// A 32 x 32 icon image, drawn without smoothing: every pixel is one of the icon's colours.
QImage Crisp(const std::function<void(QPainter&)>& draw) {
    QImage drawing = NewDrawing(32, 32);
    QPainter painter(&drawing);
    draw(painter);
    painter.end();
    return drawing;
}

BotLook SixteenColourLook() {
    return {.outline = Qt::black,
            .metalTop = QColor(0xC0C0C0),
            .metalBottom = QColor(0xC0C0C0),
            .accent = Qt::red,
            .stalk = QColor(0x808080),
            .screenTop = QColor(0x000080),
            .screenBottom = QColor(0x000080),
            .glow = Qt::cyan,
            .blush = Qt::magenta,
            .outlineWidth = 2.2,
            .shading = false};
}

// The program's emblem, 32 units square: Quibly's face screen shaped as a speech bubble, with
// the antenna on top. `look` gives the rim (metalTop), the screen and the face (glow).
void DrawEmblem(QPainter& painter, const BotLook& look) {
    QPainterPath stalk;
    stalk.addRect(15, 3, 2, 6);
    DrawOutlined(painter, stalk, look.stalk, look);
    QPainterPath bulb;
    bulb.addEllipse(QPointF(16, 3), 2.5, 2.5);
    DrawOutlined(painter, bulb, look.accent, look);
    QPainterPath tail;
    tail.moveTo(7, 24);
    tail.lineTo(3, 31);
    tail.lineTo(14, 26);
    tail.closeSubpath();
    DrawOutlined(painter, RoundedBox({16, 18}, 14.5, 10, 6).united(tail), look.metalTop, look);
    painter.setPen(Qt::NoPen);
    painter.setBrush(look.screenTop);
    painter.drawPath(RoundedBox({16, 18}, 11.5, 7.5, 4));
    painter.setBrush(look.glow);
    painter.drawRect(QRectF(10, 14, 3, 4));
    painter.drawRect(QRectF(19, 14, 3, 4));
    painter.drawRect(QRectF(12, 21, 8, 2));
    painter.drawRect(QRectF(11, 20, 1, 1));
    painter.drawRect(QRectF(20, 20, 1, 1));
}

} // namespace

QByteArray WindowIcon() {
    const QImage head = Crisp([](QPainter& painter) {
        painter.translate(16, 20);
        painter.scale(0.45, 0.45);
        DrawBotHead(painter, SixteenColourLook());
    });
    return EncodeIcon({{head, windowsColours}});
}

QByteArray ProgramIcon() {
    BotLook inColour = SixteenColourLook();
    inColour.outlineWidth = 1;
    BotLook inBlackAndWhite = inColour;
    inBlackAndWhite.metalTop = inBlackAndWhite.stalk = inBlackAndWhite.glow = Qt::white;
    inBlackAndWhite.accent = inBlackAndWhite.screenTop = Qt::black;
    const auto emblem = [](const BotLook& look) {
        return [look](QPainter& painter) { DrawEmblem(painter, look); };
    };
    return EncodeIcon({{Crisp(emblem(inBlackAndWhite)), blackAndWhite},
                       {Crisp(emblem(inColour)), windowsColours},
                       {PixelArt(smallEmblem, smallEmblemColours), windowsColours}});
}

} // namespace AssetGen
