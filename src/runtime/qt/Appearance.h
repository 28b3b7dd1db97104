#pragma once

// How a settled window's colours, fonts and pictures become what Qt draws.

#include "runtime/SettledWindow.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <string>

namespace FormsRuntime {

// A fixed colour, or the current palette's colour for a window-system colour.
QColor ResolveColor(const SettledColor& color);

QFont ResolveFont(const SettledFont& spec);

// A picture from the program's resources, at its natural size. A picture that cannot be
// read or decoded is a run-time error of the given object.
QPixmap LoadPicture(std::string_view resource, const std::string& object);

// An icon from the program's resources with every image size its file holds.
QIcon LoadIcon(std::string_view resource, const std::string& object);

} // namespace FormsRuntime
