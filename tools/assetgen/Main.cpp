// quibly_assetgen <output-dir>: draws the program's pictures and writes them as files.

#include "Pictures.h"

#include <QByteArray>
#include <QDir>
#include <QSaveFile>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

struct Asset {
    const char* fileName;
    QByteArray (*make)();
};

constexpr Asset assets[] = {
    {"backdrop.bmp", AssetGen::Backdrop},
    {"frmMain.ico", AssetGen::WindowIcon},
    {"Quibly.ico", AssetGen::ProgramIcon},
    {"splash.gif", AssetGen::SplashPicture},
};

void WriteAsset(const QDir& outputDir, const Asset& asset) {
    QByteArray bytes;
    try {
        bytes = asset.make();
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(asset.fileName) + ": cannot draw: " + error.what());
    }
    QSaveFile file(outputDir.filePath(asset.fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(file.fileName().toStdString() +
                                 ": cannot write: " + file.errorString().toStdString());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quibly_assetgen <output-dir>\n";
        return 2;
    }
    try {
        for (const Asset& asset : assets)
            WriteAsset(QDir(QString::fromLocal8Bit(argv[1])), asset);
    } catch (const std::exception& error) {
        std::cerr << "quibly_assetgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
