#pragma once

// Quibly as the pictures show it: a friendly robot with a screen for a face and an antenna.

#include <QColor>
#include <QPainter>

namespace AssetGen {

struct BotLook {
    QColor outline;
    QColor metalTop; // the head and body shade from this down to metalBottom
    QColor metalBottom;
    QColor accent; // ears, feet and the antenna's bulb
    QColor stalk;
    QColor screenTop;
    QColor screenBottom;
    QColor glow; // eyes and smile
    QColor blush;
    double outlineWidth = 1; // in the drawing's units
    bool shading = true;     // gradients, highlights and blush; off for sixteen-colour icons
};

// The look of the backdrop and the splash picture.
BotLook PaintedLook(double outlineWidth);

// The painter's units: the head is 56 wide and 42 high around (0, 0), with the antenna
// reaching up to -39. The body hangs below it, its feet down to 79.
void DrawBotHead(QPainter& painter, const BotLook& look);
void DrawBotBody(QPainter& painter, const BotLook& look);

// A filled shape with the look's outline around it.
void DrawOutlined(QPainter& painter, const QPainterPath& shape, const QBrush& fill,
                  const BotLook& look);

// A rounded box around `centre`, `halfWidth` and `halfHeight` from it.
QPainterPath RoundedBox(QPointF centre, double halfWidth, double halfHeight, double radius);

} // namespace AssetGen
