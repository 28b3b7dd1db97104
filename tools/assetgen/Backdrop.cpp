#include "Bot.h"
#include "Encoders.h"
#include "Pictures.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <stdexcept>

namespace AssetGen {
namespace {

constexpr int width = 423;
constexpr int height = 500;
constexpr int tableEntries = 256;

// The window shows columns 96 to 369 and rows 0 to 350; the reply label hides the top-left
// corner of that and the text box the rows from 328, so Quibly stands in the middle.
constexpr QPointF quiblyHead(233, 168);
constexpr double quiblyScale = 2.0;

const QColor skyTop(0x4F86E8), skyMiddle(0x9CC8F5), skyHorizon(0xFCE3EE);
const QColor farHillTop(0xB5E3A0), farHillBottom(0x8CCB78);
const QColor nearHillTop(0x78C85C), nearHillMiddle(0x4FAA3F), nearHillBottom(0x2F7D2C);
const QColor bubbleWhite(0xFFFFFF), bubbleMint(0xDDF7E8), bubbleLemon(0xFFF4C2);
const QColor typingDots(0x7A8BB0), heartPink(0xFF6F91), shadow(0x2F6B2A);

QBrush Gradient(std::initializer_list<std::pair<double, QColor>> stops, double fromY, double toY) {
    QLinearGradient gradient(0, fromY, 0, toY);
    for (const auto& [at, colour] : stops)
        gradient.setColorAt(at, colour);
    return gradient;
}

void DrawLandscape(QPainter& painter) {
    painter.fillRect(0, 0, width, height,
                     Gradient({{0, skyTop}, {0.66, skyMiddle}, {1, skyHorizon}}, 0, 300));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Gradient({{0, farHillTop}, {1, farHillBottom}}, 240, 330));
    painter.drawEllipse(QPointF(120, 640), 395, 395);
    painter.drawEllipse(QPointF(430, 660), 420, 420);
    painter.setBrush(
        Gradient({{0, nearHillTop}, {0.35, nearHillMiddle}, {1, nearHillBottom}}, 285, 500));
    painter.drawEllipse(QPointF(250, 800), 510, 510);
    painter.drawEllipse(QPointF(-40, 700), 400, 400);
}

// A chat bubble whose tail points towards Quibly.
void DrawBubble(QPainter& painter, QPointF centre, QSizeF half, QPointF tailTip, const QColor& fill,
                const BotLook& look) {
    QPainterPath tail;
    tail.moveTo(centre.x() - half.width() * 0.3, centre.y());
    tail.lineTo(tailTip);
    tail.lineTo(centre.x() + half.width() * 0.3, centre.y());
    tail.closeSubpath();
    DrawOutlined(painter,
                 RoundedBox(centre, half.width(), half.height(), half.height() * 0.8).united(tail),
                 fill, look);
}

void DrawChat(QPainter& painter, const BotLook& look) {
    DrawBubble(painter, {318, 66}, {34, 20}, {284, 104}, bubbleWhite, look);
    painter.setPen(Qt::NoPen);
    painter.setBrush(typingDots);
    for (const double x : {304.0, 318.0, 332.0})
        painter.drawEllipse(QPointF(x, 66), 4.5, 4.5);

    DrawBubble(painter, {130, 128}, {26, 18}, {156, 158}, bubbleMint, look);
    QPainterPath heart;
    heart.moveTo(130, 138);
    heart.cubicTo(114, 128, 120, 115, 130, 123);
    heart.cubicTo(140, 115, 146, 128, 130, 138);
    painter.setPen(Qt::NoPen);
    painter.setBrush(heartPink);
    painter.drawPath(heart);

    DrawBubble(painter, {336, 178}, {24, 15}, {306, 200}, bubbleLemon, look);
    painter.setPen(QPen(typingDots, 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(322, 173), QPointF(350, 173));
    painter.drawLine(QPointF(322, 183), QPointF(340, 183));
}

void DrawQuibly(QPainter& painter, const BotLook& look) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(QPointF(quiblyHead.x(), 325), 52, 8);
    painter.translate(quiblyHead);
    painter.scale(quiblyScale, quiblyScale);
    DrawBotBody(painter, look);
    DrawBotHead(painter, look);
}

// The colours of the picture's gradients and shapes, then an even spread of all colours for
// the edges where they blend.
QList<QRgb> Colours(const BotLook& look) {
    QList<QRgb> colours =
        Ramp(skyTop, skyMiddle, 56) + Ramp(skyMiddle, skyHorizon, 32) +
        Ramp(farHillTop, farHillBottom, 14) + Ramp(nearHillTop, nearHillMiddle, 14) +
        Ramp(nearHillMiddle, nearHillBottom, 20) + Ramp(look.metalTop, look.metalBottom, 20) +
        Ramp(look.screenTop, look.screenBottom, 14) + Ramp(look.outline, bubbleWhite, 11);
    for (const QColor& colour :
         {look.outline, look.accent, look.stalk, look.glow, look.blush, bubbleWhite, bubbleMint,
          bubbleLemon, typingDots, heartPink, shadow})
        colours.append(colour.rgb());
    for (int level = 0; level < 64 && colours.size() < tableEntries; ++level)
        colours.append(qRgb(level / 16 * 85, level / 4 % 4 * 85, level % 4 * 85));
    if (colours.size() != tableEntries)
        throw std::logic_error("backdrop: " + std::to_string(colours.size()) + " colours, not 256");
    return colours;
}

} // namespace

QByteArray Backdrop() {
    QImage drawing = NewDrawing(width, height);
    // Outlines are 2.5 pixels wide; Quibly is drawn at twice the size of his units.
    const BotLook look = PaintedLook(2.5 / quiblyScale);
    {
        QPainter painter(&drawing);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawLandscape(painter);
        DrawChat(painter, PaintedLook(2.5));
        DrawQuibly(painter, look);
    }
    return EncodeBmp(ToIndexed({drawing, Colours(look)}, QImage::Format_Indexed8, false));
}

} // namespace AssetGen
