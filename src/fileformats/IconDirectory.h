#pragma once

// The directory of a Windows icon file: the list of images that heads an .ico file, written
// for the generated assets and read wherever a program of the project opens an icon. (The
// executable's icon group is written into its resource script by cmake/IconResources.cmake,
// at configure time, where no program of the project can run yet.)

#include <cstdint>
#include <span>
#include <vector>

namespace quibly::fileformats {

struct IconEntry {
    int width = 0;       // 1 to 256 pixels
    int height = 0;      // 1 to 256 pixels
    int colourCount = 0; // 0 stands for 256 colours or more
    int planes = 0;
    int bitCount = 0;
    std::uint32_t imageBytes = 0; // the size of the image's bitmap
};

// The directory of an .ico file whose images follow it in the order given.
// Throws std::out_of_range for a size outside 1 to 256.
std::vector<std::uint8_t> iconFileDirectory(std::span<const IconEntry> entries);

// One image of an .ico file as read back: its entry, with planes and depth as its bitmap header
// gives them (many files leave the directory's copies at zero), and where its bitmap lies.
struct IconImageInFile {
    IconEntry entry;
    std::uint32_t offset = 0;
};

// Every image of the .ico file `file`, in file order. Throws std::runtime_error saying what is
// wrong with the file.
std::vector<IconImageInFile> readIconFileDirectory(std::span<const std::uint8_t> file);

} // namespace quibly::fileformats
