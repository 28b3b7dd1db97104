#pragma once

#include "bytes.h"

namespace assetgen {

// The program's four picture files, ready to write.
Bytes backdropBitmap(); // the conversation window's backdrop
Bytes windowIcon();     // the conversation window's icon
Bytes programIcon();    // the program file's icon
Bytes splashPicture();  // the splash window's emblem

} // namespace assetgen
