#pragma once

#include "canvas.h"
#include "geometry.h"

namespace assetgen {

// How Quibly is coloured in one picture; the shapes are the same in every picture.
struct BotLook {
    Rgb outline;
    Rgb headTop;
    Rgb headBottom;
    Rgb ear;
    Rgb stalk;
    Rgb bulb;
    Rgb screenTop;
    Rgb screenBottom;
    Rgb glow; // eyes and smile
    Rgb blush;
    double outlineWidth = 1.0; // pixels, whatever the scale
    bool highlights = false;   // sparkles and blush: only where smooth edges can show them
};

// Soft colours with highlights, for the backdrop and the splash picture.
BotLook paintedLook(double outlineWidth);
// Colours of the standard 16-colour palette, for the icons.
BotLook sixteenColourLook();

// Where Quibly stands: the centre of the head and pixels per design unit. The head is 56 units
// wide and 42 high; with ears, antenna and bulb it spans x -34..34 and y -39..21 units.
struct Placement {
    Point headCentre;
    double scale = 1.0;
};

void drawBotHead(Canvas& canvas, const Placement& placement, const BotLook& look);
// Neck, body, waving arm, resting arm and feet below the head, reaching down to y = 79 units.
void drawBotBody(Canvas& canvas, const Placement& placement, const BotLook& look);

} // namespace assetgen
