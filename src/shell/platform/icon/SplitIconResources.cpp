// Splits an .ico file into Windows resources that keep chosen identifiers: one RT_ICON per image
// and an RT_GROUP_ICON listing them, plus a resource-script fragment that names the pieces. The
// resource compiler's own ICON statement would number the images itself.
//
// Usage: quibly_split_icon_resources <icon.ico> <output-dir> <group-id> <first-image-id>
// Writes <output-dir>/icon-<id>.bin for each image, <output-dir>/icon-group.bin and
// <output-dir>/icon.rc.

#include "IconFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>
#include <stdexcept>

using quibly::platform::groupIconDirectory;
using quibly::platform::readIconFile;

namespace {

constexpr int iconResourceType = 3;
constexpr int groupIconResourceType = 14;

void writeFile(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit())
        throw std::runtime_error(
            QStringLiteral("writing %1: %2").arg(path, file.errorString()).toStdString());
}

quint16 resourceId(const QString& argument) {
    bool ok = false;
    const quint16 id = argument.toUShort(&ok);
    if (!ok || id == 0)
        throw std::runtime_error(
            QStringLiteral("reading resource id \"%1\": not a number from 1 to 65535")
                .arg(argument)
                .toStdString());
    return id;
}

// One line of the fragment: a resource of a numeric type whose data is a whole file.
QString resourceLine(int id, int type, const QString& dataPath) {
    return QStringLiteral("%1 %2 \"%3\"\n").arg(id).arg(type).arg(dataPath);
}

void split(const QString& iconPath, const QDir& outputDir, quint16 groupId, quint16 firstImageId) {
    const auto images = readIconFile(iconPath);
    if (firstImageId + images.size() - 1 > 0xFFFF)
        throw std::runtime_error("numbering icon images: ids run past 65535");
    if (!outputDir.mkpath(QStringLiteral(".")))
        throw std::runtime_error(
            QStringLiteral("creating directory %1").arg(outputDir.path()).toStdString());

    QString script = QStringLiteral("// Generated from %1.\n").arg(iconPath);
    int id = firstImageId;
    for (const auto& image : images) {
        const QString imagePath = outputDir.filePath(QStringLiteral("icon-%1.bin").arg(id));
        writeFile(imagePath, image.bytes);
        script += resourceLine(id++, iconResourceType, imagePath);
    }
    const QString groupPath = outputDir.filePath(QStringLiteral("icon-group.bin"));
    writeFile(groupPath, groupIconDirectory(images, firstImageId));
    script += resourceLine(groupId, groupIconResourceType, groupPath);
    writeFile(outputDir.filePath(QStringLiteral("icon.rc")), script.toUtf8());
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 5) {
        std::fputs("usage: quibly_split_icon_resources <icon.ico> <output-dir> <group-id> "
                   "<first-image-id>\n",
                   stderr);
        return 2;
    }
    try {
        split(arguments[1], QDir(arguments[2]), resourceId(arguments[3]), resourceId(arguments[4]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quibly_split_icon_resources: %s\n", error.what());
        return 1;
    }
    return 0;
}
