#pragma once

#include "fileformats/LittleEndian.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace assetgen {

using Bytes = std::vector<std::uint8_t>;

// Every format written here stores its integers little-endian.
using quibly::fileformats::appendByte;
using quibly::fileformats::appendDword;
using quibly::fileformats::appendWord;

void appendAscii(Bytes& out, std::string_view text);

} // namespace assetgen
