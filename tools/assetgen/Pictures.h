#pragma once

// The program's pictures, each drawn and encoded as the file the program carries.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>

namespace AssetGen {

QByteArray Backdrop();      // backdrop.bmp: the conversation window's picture
QByteArray SplashPicture(); // splash.gif: the splash window's picture
QByteArray WindowIcon();    // frmMain.ico: the conversation window's icon
QByteArray ProgramIcon();   // Quibly.ico: the executable's icon

// A transparent drawing surface.
QImage NewDrawing(int width, int height);

// `steps` colours evenly from `from` to `to`, both included.
QList<QRgb> Ramp(const QColor& from, const QColor& to, int steps);

} // namespace AssetGen
