#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace assetgen {

using Bytes = std::vector<std::uint8_t>;

// Every format written here stores its integers little-endian.
void appendU8(Bytes& out, std::uint8_t value);
void appendU16(Bytes& out, std::uint16_t value);
void appendU32(Bytes& out, std::uint32_t value);
void appendI32(Bytes& out, std::int32_t value);
void appendAscii(Bytes& out, std::string_view text);

} // namespace assetgen
