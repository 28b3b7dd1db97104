// The committed pictures have the sizes and layouts the windows rely on. (The program icon's
// images are read back from the Windows executable, where they end up.)

#include "fileformats/LittleEndian.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace {

using quibly::fileformats::byteAt;
using quibly::fileformats::dwordAt;
using quibly::fileformats::wordAt;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << "cannot open " << path;
    return {std::istreambuf_iterator<char>(file), {}};
}

std::uint32_t Field(const std::string& file, std::size_t offset, int width) {
    return width == 1   ? byteAt(file, offset)
           : width == 2 ? wordAt(file, offset)
                        : dwordAt(file, offset);
}

// The splash's layout: a 13-byte screen descriptor, a 256-entry global table, the graphic
// control extension, then the image descriptor.
constexpr int gifControl = 13 + 3 * 256, gifImage = gifControl + 8;

TEST(Assets, HeadersHaveTheLayoutsTheWindowsRelyOn) {
    const struct {
        const char* file;
        const char* what;
        std::size_t offset;
        int width;
        std::uint32_t expected;
    } fields[] = {
        {"backdrop.bmp", "signature BM", 0, 2, 0x4D42},
        {"backdrop.bmp", "pixels after a 256-entry table", 10, 4, 14 + 40 + 4 * 256},
        {"backdrop.bmp", "width", 18, 4, 423},
        {"backdrop.bmp", "height, positive: bottom-up", 22, 4, 500},
        {"backdrop.bmp", "bits per pixel", 28, 2, 8},
        {"backdrop.bmp", "uncompressed", 30, 4, 0},
        {"backdrop.bmp", "colours used", 46, 4, 256},
        {"frmMain.ico", "one image", 4, 2, 1},
        {"frmMain.ico", "32 wide", 6, 1, 32},
        {"frmMain.ico", "32 high", 7, 1, 32},
        {"frmMain.ico", "16 colours", 12, 2, 4},
        {"splash.gif", "signature GIF8", 0, 4, 0x38464947},
        {"splash.gif", "version 9a", 4, 2, 0x6139},
        {"splash.gif", "screen 99 wide", 6, 2, 99},
        {"splash.gif", "screen 63 high", 8, 2, 63},
        {"splash.gif", "global table of 256", 10, 1, 0xF7},
        {"splash.gif", "graphic control", gifControl, 2, 0xF921},
        {"splash.gif", "transparency on", gifControl + 3, 1, 1},
        {"splash.gif", "transparent index 0", gifControl + 6, 1, 0},
        {"splash.gif", "one image", gifImage, 1, 0x2C},
        {"splash.gif", "image 99 wide", gifImage + 5, 2, 99},
        {"splash.gif", "image 63 high", gifImage + 7, 2, 63},
        {"splash.gif", "interlaced, no local table", gifImage + 9, 1, 0x40},
    };
    for (const auto& [name, size] :
         {std::pair{"backdrop.bmp", 213078}, {"frmMain.ico", 766}, {"splash.gif", 1903}})
        EXPECT_EQ(ReadAll(std::filesystem::path(ASSETS_DIR) / name).size(), std::size_t(size))
            << name;
    for (const auto& [name, what, offset, width, expected] : fields) {
        const std::string file = ReadAll(std::filesystem::path(ASSETS_DIR) / name);
        ASSERT_LE(offset + std::size_t(width), file.size()) << name;
        EXPECT_EQ(Field(file, offset, width), expected) << name << ": " << what;
    }
}

} // namespace
