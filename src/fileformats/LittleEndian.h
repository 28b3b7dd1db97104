#pragma once

// Little-endian integers, as Windows file formats (and GIF) store them: bytes, 16-bit words
// and 32-bit double words. Standard library only, so that build tools can use it anywhere.

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace quibly::fileformats {

// Reads from any contiguous buffer of bytes (QByteArray, std::vector<std::uint8_t>, ...)
// whose bounds the caller has checked.
template <class Buffer> std::uint8_t byteAt(const Buffer& data, std::size_t offset) {
    return static_cast<std::uint8_t>(std::data(data)[offset]);
}

template <class Buffer> std::uint16_t wordAt(const Buffer& data, std::size_t offset) {
    return static_cast<std::uint16_t>(byteAt(data, offset) | byteAt(data, offset + 1) << 8);
}

template <class Buffer> std::uint32_t dwordAt(const Buffer& data, std::size_t offset) {
    return std::uint32_t{wordAt(data, offset)} | std::uint32_t{wordAt(data, offset + 2)} << 16;
}

// Appends to any buffer of bytes that offers push_back.
template <class Buffer> void appendByte(Buffer& out, std::uint8_t value) {
    out.push_back(static_cast<typename Buffer::value_type>(value));
}

template <class Buffer> void appendWord(Buffer& out, std::uint16_t value) {
    appendByte(out, static_cast<std::uint8_t>(value & 0xFFu));
    appendByte(out, static_cast<std::uint8_t>(value >> 8));
}

template <class Buffer> void appendDword(Buffer& out, std::uint32_t value) {
    appendWord(out, static_cast<std::uint16_t>(value & 0xFFFFu));
    appendWord(out, static_cast<std::uint16_t>(value >> 16));
}

} // namespace quibly::fileformats
