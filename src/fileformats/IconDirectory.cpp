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
constexpr std::uint32_t bitmapInfoHeaderBytes = 40;

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

[[noreturn]] void fail(const std::string& fault) {
    throw std::runtime_error(fault);
}

// A directory byte of 0 means 256 pixels.
int dimension(std::uint8_t directoryByte) {
    return directoryByte == 0 ? 256 : directoryByte;
}

IconImageInFile readImage(std::span<const std::uint8_t> file, std::size_t index) {
    const std::size_t at = headerBytes + index * fileEntryBytes;
    IconImageInFile image{.entry = {.width = dimension(byteAt(file, at)),
                                    .height = dimension(byteAt(file, at + 1)),
                                    .colourCount = byteAt(file, at + 2),
                                    .imageBytes = dwordAt(file, at + 8)},
                          .offset = dwordAt(file, at + 12)};
    const std::uint32_t size = image.entry.imageBytes;
    if (image.offset > file.size() || size > file.size() - image.offset)
        fail("image " + std::to_string(index) + " lies outside the file");
    if (size < bitmapInfoHeaderBytes || dwordAt(file, image.offset) < bitmapInfoHeaderBytes)
        fail("image " + std::to_string(index) + " is not a device-independent bitmap");
    image.entry.planes = wordAt(file, image.offset + 12);
    image.entry.bitCount = wordAt(file, image.offset + 14);
    return image;
}

} // namespace

std::vector<IconImageInFile> readIconFileDirectory(std::span<const std::uint8_t> file) {
    if (file.size() < headerBytes || wordAt(file, 0) != 0 || wordAt(file, 2) != iconResourceType)
        fail("not an icon file");
    const std::size_t count = wordAt(file, 4);
    if (count == 0)
        fail("the icon holds no images");
    if (file.size() < headerBytes + count * fileEntryBytes)
        fail("the directory of " + std::to_string(count) + " images is cut short");
    std::vector<IconImageInFile> images;
    images.reserve(count);
    for (std::size_t index = 0; index < count; ++index)
        images.push_back(readImage(file, index));
    return images;
}

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
