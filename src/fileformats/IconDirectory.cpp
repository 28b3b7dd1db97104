#include "fileformats/IconDirectory.h"

#include "fileformats/LittleEndian.h"

#include <stdexcept>
#include <string>

namespace quibly::fileformats {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t iconResourceType = 1;
constexpr std::uint32_t headerBytes = 6;
constexpr std::uint32_t fileEntryBytes = 16;

std::uint8_t directorySize(int pixels) {
    if (pixels < 1 || pixels > 256)
        throw std::out_of_range("icon directory: size " + std::to_string(pixels) +
                                " is outside 1..256");
    return static_cast<std::uint8_t>(pixels % 256); // 256 is stored as 0
}

Bytes header(std::size_t count) {
    Bytes out;
    appendWord(out, 0); // reserved
    appendWord(out, iconResourceType);
    appendWord(out, static_cast<std::uint16_t>(count));
    return out;
}

// What an entry holds before it says where the image is.
void appendEntryStart(Bytes& out, const IconEntry& entry) {
    appendByte(out, directorySize(entry.width));
    appendByte(out, directorySize(entry.height));
    appendByte(out, static_cast<std::uint8_t>(entry.colourCount));
    appendByte(out, 0); // reserved
    appendWord(out, static_cast<std::uint16_t>(entry.planes));
    appendWord(out, static_cast<std::uint16_t>(entry.bitCount));
    appendDword(out, entry.imageBytes);
}

} // namespace

Bytes iconFileDirectory(std::span<const IconEntry> entries) {
    Bytes out = header(entries.size());
    auto offset = static_cast<std::uint32_t>(headerBytes + fileEntryBytes * entries.size());
    for (const IconEntry& entry : entries) {
        appendEntryStart(out, entry);
        appendDword(out, offset);
        offset += entry.imageBytes;
    }
    return out;
}

} // namespace quibly::fileformats
