// quibly_assetgen <output-dir>: draws the program's pictures and writes them as files.

#include "bytes.h"
#include "pictures.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

struct Asset {
    const char* fileName;
    assetgen::Bytes (*make)();
};

constexpr Asset assets[] = {
    {"backdrop.bmp", assetgen::backdropBitmap},
    {"frmMain.ico", assetgen::windowIcon},
    {"Quibly.ico", assetgen::programIcon},
    {"splash.gif", assetgen::splashPicture},
};

[[noreturn]] void fail(const std::filesystem::path& path, const std::string& operation, int error) {
    throw std::runtime_error(path.string() + ": cannot " + operation + ": " + std::strerror(error));
}

void writeFile(const std::filesystem::path& path, const assetgen::Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        fail(path, "open for writing", errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    if (std::fclose(file) != 0)
        fail(path, "close", errno);
    if (!written)
        fail(path, "write " + std::to_string(bytes.size()) + " bytes", writeError);
}

assetgen::Bytes make(const Asset& asset) {
    try {
        return asset.make();
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(asset.fileName) + ": cannot draw: " + error.what());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quibly_assetgen <output-dir>\n";
        return 2;
    }
    try {
        const std::filesystem::path outputDir = argv[1];
        for (const Asset& asset : assets)
            writeFile(outputDir / asset.fileName, make(asset));
    } catch (const std::exception& error) {
        std::cerr << "quibly_assetgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
