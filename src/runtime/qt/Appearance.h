#pragma once

// How layout values become what Qt draws: boxes in device-independent pixels, colours, fonts
// and pictures.

#include "runtime/Layout.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <string>

namespace FormsRuntime {

inline QRect PixelRect(Twips left, Twips top, Twips width, Twips height) {
    return {PixelsFromTwips(left), PixelsFromTwips(top), PixelsFromTwips(width),
            PixelsFromTwips(height)};
}

// A fixed colour, or the current palette's colour for a window-system colour number. An
// unknown colour number is a run-time error of the given object.
QColor ResolveColor(Color color, const std::string& object);

QFont ResolveFont(const FontSpec& spec);

// A picture from the program's resources, at its natural size. A picture that cannot be
// read or decoded is a run-time error of the given object.
QPixmap LoadPicture(std::string_view resource, const std::string& object);

// An icon from the program's resources with every image size its file holds.
QIcon LoadIcon(std::string_view resource, const std::string& object);

} // namespace FormsRuntime
