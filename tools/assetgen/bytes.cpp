#include "bytes.h"

namespace assetgen {

void appendU8(Bytes& out, std::uint8_t value) {
    out.push_back(value);
}

void appendU16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendU32(Bytes& out, std::uint32_t value) {
    appendU16(out, static_cast<std::uint16_t>(value & 0xFFFFu));
    appendU16(out, static_cast<std::uint16_t>(value >> 16));
}

void appendI32(Bytes& out, std::int32_t value) {
    appendU32(out, static_cast<std::uint32_t>(value));
}

void appendAscii(Bytes& out, std::string_view text) {
    for (const char c : text)
        out.push_back(static_cast<std::uint8_t>(c));
}

} // namespace assetgen
