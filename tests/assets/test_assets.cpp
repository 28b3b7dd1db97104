// The committed pictures are what the generator draws, byte for byte. What they look like is the
// window scenarios' (geometry and pixels, at two scales), what their files hold the picture
// decoders' tests and, for the program icon, the Windows executable's.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QDir assetsDir(ASSETS_DIR);

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(Assets, TheGeneratorDrawsThemByteForByte) {
    const QDir outputDir(REGENERATED_DIR);
    ASSERT_TRUE(outputDir.mkpath("."));
    QProcess generator;
    generator.start(ASSETGEN, {outputDir.path()});
    ASSERT_TRUE(generator.waitForFinished(-1));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    for (const char* name : {"backdrop.bmp", "frmMain.ico", "Quibly.ico", "splash.gif"}) {
        const QByteArray committed = ReadAll(assetsDir.filePath(name));
        const QByteArray drawn = ReadAll(outputDir.filePath(name));
        qsizetype first = 0;
        while (first < committed.size() && first < drawn.size() && committed[first] == drawn[first])
            ++first;
        EXPECT_TRUE(committed == drawn)
            << name << ": " << drawn.size() << " bytes drawn, " << committed.size()
            << " committed, first difference at byte " << first
            << "; regenerate assets/ with quibly_assetgen";
    }
}

} // namespace
