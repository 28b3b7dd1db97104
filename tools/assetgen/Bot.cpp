#include "Bot.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace AssetGen {
namespace {

QBrush Shade(const QColor& top, const QColor& bottom, double fromY, double toY, bool shading) {
    if (!shading)
        return top;
    QLinearGradient gradient(0, fromY, 0, toY);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QPainterPath Circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

void DrawFace(QPainter& painter, const BotLook& look) {
    painter.setPen(Qt::NoPen);
    for (const double side : {-1.0, 1.0}) {
        painter.setBrush(look.glow);
        painter.drawEllipse(QPointF(side * 9, -1), 4, 5);
        if (!look.shading)
            continue;
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(side * 9 + 1.5, -3), 1.4, 1.4);
        painter.setBrush(look.blush);
        painter.drawEllipse(QPointF(side * 15.5, 8), 3.2, 2);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(look.glow, 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(-6, -1, 12, 9), -30 * 16, -120 * 16);
}

} // namespace

BotLook PaintedLook(double outlineWidth) {
    return {.outline = QColor(0x2B3650),
            .metalTop = QColor(0xF4F8FC),
            .metalBottom = QColor(0xB9C6D8),
            .accent = QColor(0xFF7B6B),
            .stalk = QColor(0x8E9BB0),
            .screenTop = QColor(0x2B3C78),
            .screenBottom = QColor(0x151E44),
            .glow = QColor(0x66F0FF),
            .blush = QColor(0xC86E9A),
            .outlineWidth = outlineWidth,
            .shading = true};
}

QPainterPath RoundedBox(QPointF centre, double halfWidth, double halfHeight, double radius) {
    QPainterPath path;
    path.addRoundedRect(centre.x() - halfWidth, centre.y() - halfHeight, 2 * halfWidth,
                        2 * halfHeight, radius, radius);
    return path;
}

void DrawOutlined(QPainter& painter, const QPainterPath& shape, const QBrush& fill,
                  const BotLook& look) {
    painter.setPen(
        QPen(look.outline, look.outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(shape);
}

void DrawBotHead(QPainter& painter, const BotLook& look) {
    DrawOutlined(painter, RoundedBox({0, -26}, 1.6, 5, 1.6), look.stalk, look);
    DrawOutlined(painter, Circle({0, -34}, 4.5), look.accent, look);
    for (const double side : {-1.0, 1.0})
        DrawOutlined(painter, RoundedBox({side * 30, 2}, 4, 8, 3), look.accent, look);
    DrawOutlined(painter, RoundedBox({0, 0}, 28, 21, 11),
                 Shade(look.metalTop, look.metalBottom, -21, 21, look.shading), look);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Shade(look.screenTop, look.screenBottom, -13, 15, look.shading));
    painter.drawPath(RoundedBox({0, 1}, 21, 14, 8));
    DrawFace(painter, look);
}

void DrawBotBody(QPainter& painter, const BotLook& look) {
    const QBrush metal = Shade(look.metalTop, look.metalBottom, 24, 60, look.shading);
    // The waving arm and the resting one, both behind the body.
    for (const auto& [shoulder, hand] : {std::pair{QPointF(-17, 35), QPointF(-33, 15)},
                                         std::pair{QPointF(17, 35), QPointF(26, 56)}}) {
        QPainterPath arm;
        arm.moveTo(shoulder);
        arm.lineTo(hand);
        QPainterPathStroker stroker;
        stroker.setWidth(7);
        stroker.setCapStyle(Qt::RoundCap);
        DrawOutlined(painter, stroker.createStroke(arm).united(Circle(hand, 5)), metal, look);
    }
    for (const double side : {-1.0, 1.0}) {
        DrawOutlined(painter, RoundedBox({side * 8, 65}, 3.8, 7, 2), look.stalk, look);
        DrawOutlined(painter, RoundedBox({side * 9, 75}, 7, 4, 3.5), look.accent, look);
    }
    DrawOutlined(painter, RoundedBox({0, 23}, 6, 3, 1.5), look.stalk, look);
    DrawOutlined(painter, RoundedBox({0, 42}, 19, 18, 8), metal, look);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Shade(look.screenTop, look.screenBottom, 33, 53, look.shading));
    painter.drawPath(RoundedBox({0, 43}, 11, 10, 4));
    // A heart on the chest screen: two lobes and a point.
    QPainterPath heart;
    heart.moveTo(0, 48);
    heart.cubicTo(-9, 42, -5, 36, 0, 40);
    heart.cubicTo(5, 36, 9, 42, 0, 48);
    painter.setBrush(look.accent);
    painter.drawPath(heart);
}

} // namespace AssetGen
