#include "Bot.h"
#include "Encoders.h"
#include "Pictures.h"

#include <QPainterPath>

namespace AssetGen {
namespace {

constexpr int width = 99;
constexpr int height = 63;
constexpr qsizetype fileSize = 1903;

// "Hi!" in a speech bubble beside the head.
void DrawGreeting(QPainter& painter, const BotLook& look) {
    QPainterPath tail;
    tail.moveTo(65, 24);
    tail.lineTo(60, 32);
    tail.lineTo(70, 30);
    tail.closeSubpath();
    DrawOutlined(painter, RoundedBox({80, 20}, 17, 13, 8).united(tail), Qt::white, look);
    painter.setPen(QPen(look.screenTop, 3.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(70, 14), QPointF(70, 26));
    painter.drawLine(QPointF(77, 14), QPointF(77, 26));
    painter.drawLine(QPointF(70, 20), QPointF(77, 20));
    painter.drawLine(QPointF(83, 19), QPointF(83, 26));
    painter.drawLine(QPointF(89, 14), QPointF(89, 21));
    painter.setPen(Qt::NoPen);
    painter.setBrush(look.screenTop);
    painter.drawEllipse(QPointF(83, 14.2), 2, 2);
    painter.drawEllipse(QPointF(89, 26), 2, 2);
}

} // namespace

QByteArray SplashPicture() {
    const BotLook look = PaintedLook(1.6);
    QImage drawing = NewDrawing(width, height);
    {
        QPainter painter(&drawing);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawGreeting(painter, PaintedLook(1.4));
        painter.translate(32, 37);
        painter.scale(0.85, 0.85);
        DrawBotHead(painter, look);
    }
    // Index 0 is the see-through one; the rest are the drawing's own colours, which its edges
    // are rounded to.
    const QList<QRgb> colours =
        QList<QRgb>{qRgb(0, 0, 0),   look.outline.rgb(), look.accent.rgb(),  look.stalk.rgb(),
                    look.glow.rgb(), look.blush.rgb(),   qRgb(255, 255, 255)} +
        Ramp(look.metalTop, look.metalBottom, 4) + Ramp(look.screenTop, look.screenBottom, 3) +
        Ramp(look.outline, Qt::white, 4).mid(1, 2);
    return EncodeGif({drawing, colours}, fileSize);
}

} // namespace AssetGen
