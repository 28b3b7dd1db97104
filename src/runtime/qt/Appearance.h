#pragma once

// How layout values become what Qt draws: twips to device-independent pixels, colours,
// fonts and pictures.

#include "runtime/Layout.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <string>

namespace FormsRuntime {

// 15 twips make one device-independent pixel; in-between values round to the nearest pixel.
constexpr int PixelsFromTwips(Twips twips) {
    const int half = TwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / TwipsPerPixel : -((-twips + half) / TwipsPerPixel);
}

inline QRect PixelRect(Twips left, Twips top, Twips width, Twips height) {
    return {PixelsFromTwips(left), PixelsFromTwips(top), PixelsFromTwips(width),
            PixelsFromTwips(height)};
}

// A fixed colour, or the current palette's colour for a window-system colour number. An
// unknown colour number is a run-time error of the given object.
QColor ResolveColor(Color color, const std::string& object);

// Points are counted at 96 dots per inch, so 8.25 pt is 11 pixels on every screen.
QFont ResolveFont(const FontSpec& spec);

// A picture from the program's resources, at its natural size. A picture that cannot be
// read or decoded is a run-time error of the given object.
QPixmap LoadPicture(std::string_view resource, const std::string& object);

// An icon from the program's resources with every image size its file holds.
QIcon LoadIcon(std::string_view resource, const std::string& object);

} // namespace FormsRuntime
