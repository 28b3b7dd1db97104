// Reads the compiled Windows resources (.res) back and checks them field by field against the
// program's identity: the version block, the icon group and its images, and their language.

#include "fileformats/LittleEndian.h"

#include <QFile>
#include <QHash>
#include <QTest>

using quibly::fileformats::dwordAt;
using quibly::fileformats::wordAt;

namespace {

constexpr qsizetype resourceHeaderTail = 16; // data version, flags, language, version, features

qsizetype alignedToDword(qsizetype offset) {
    return (offset + 3) & ~qsizetype{3};
}

QByteArray readEnvironmentFile(const char* variable) {
    const QString path = qEnvironmentVariable(variable);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("reading %s (from %s): %s", qPrintable(path), variable,
               qPrintable(file.errorString()));
    return file.readAll();
}

// A resource type or name in a .res header: 0xFFFF and a number, or a zero-terminated UTF-16
// name; `at` moves past it.
QString resourceId(const QByteArray& file, qsizetype& at, qsizetype limit) {
    if (at + 4 <= limit && wordAt(file, at) == 0xFFFF) {
        at += 4;
        return QStringLiteral("#%1").arg(wordAt(file, at - 2));
    }
    QString name;
    for (; at + 2 <= limit && wordAt(file, at) != 0; at += 2)
        name.append(QChar(wordAt(file, at)));
    at += 2;
    return name;
}

// Lists the version-block node at `at` and its children, in file order, as "path", "path: text"
// or "path: <n> bytes"; a node that does not fit is listed as malformed. Keeps binary values by
// path. Returns the node's end.
qsizetype listVersionNode(const QByteArray& block, qsizetype at, const QString& parent,
                          QStringList& nodes, QHash<QString, QByteArray>& binaryValues) {
    const qsizetype end = at + 6 <= block.size() ? at + wordAt(block, at) : block.size();
    if (end > block.size() || end < at + 6) {
        nodes.append(QStringLiteral("malformed node at offset %1").arg(at));
        return block.size();
    }
    const bool isText = wordAt(block, at + 4) == 1;
    const qsizetype valueBytes = wordAt(block, at + 2) * (isText ? 2 : 1);
    qsizetype offset = at + 6;
    QString path = parent.isEmpty() ? QString() : parent + '/';
    for (; offset + 2 <= end && wordAt(block, offset) != 0; offset += 2)
        path.append(QChar(wordAt(block, offset)));
    const qsizetype valueStart = alignedToDword(offset + 2);
    if (valueStart + valueBytes > end) {
        nodes.append(path + QStringLiteral(": malformed"));
        return end;
    }
    const QByteArray value = block.mid(valueStart, valueBytes);
    if (isText && valueBytes > 0) {
        const QString text =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(value.data()), valueBytes / 2);
        nodes.append(path + ": " +
                     (text.endsWith(QChar(0)) ? text.chopped(1) : text + " (unterminated)"));
    } else {
        nodes.append(valueBytes > 0 ? QStringLiteral("%1: %2 bytes").arg(path).arg(valueBytes)
                                    : path);
        binaryValues.insert(path, value);
    }
    for (qsizetype child = alignedToDword(valueStart + valueBytes); child < end;)
        child = alignedToDword(listVersionNode(block, child, path, nodes, binaryValues));
    return end;
}

} // namespace

class WindowsResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void resources();
    void versionTree();
    void versionField_data();
    void versionField();
    void iconImage_data();
    void iconImage();

private:
    struct Resource {
        QString typeAndName; // "#<type>/#<name>" for numeric ids
        quint16 language = 0;
        QByteArray data;
    };
    QByteArray resource(const QString& typeAndName) const;

    std::vector<Resource> resources_;
    QStringList versionNodes_;
    QHash<QString, QByteArray> versionValues_;
};

void WindowsResourcesTest::initTestCase() {
    const QByteArray file = readEnvironmentFile("QUIBLY_RESOURCE_FILE");
    for (qsizetype at = 0; at < file.size();) {
        const QByteArray pastTheEnd =
            QStringLiteral("resource at offset %1 runs past the end").arg(at).toUtf8();
        QVERIFY2(file.size() - at >= 8, pastTheEnd.constData());
        const qsizetype dataSize = dwordAt(file, at);
        const qsizetype headerSize = dwordAt(file, at + 4);
        QVERIFY2(headerSize >= 8 + resourceHeaderTail && headerSize + dataSize <= file.size() - at,
                 pastTheEnd.constData());
        const qsizetype idsEnd = at + headerSize - resourceHeaderTail;
        qsizetype idAt = at + 8;
        const QString type = resourceId(file, idAt, idsEnd);
        resources_.push_back({type + '/' + resourceId(file, idAt, idsEnd), wordAt(file, idsEnd + 6),
                              file.mid(at + headerSize, dataSize)});
        at = alignedToDword(at + headerSize + dataSize);
    }
    const QByteArray versionBlock = resource("#16/#1");
    if (!versionBlock.isEmpty())
        QCOMPARE(listVersionNode(versionBlock, 0, {}, versionNodes_, versionValues_),
                 versionBlock.size());
}

QByteArray WindowsResourcesTest::resource(const QString& typeAndName) const {
    for (const Resource& candidate : resources_)
        if (candidate.typeAndName == typeAndName)
            return candidate.data;
    return {};
}

// Exactly the empty entry that opens a 32-bit .res file, the version block, the icon group and
// its three images, all in English (United States): nothing the resource compiler adds on its
// own, such as images numbered by an ICON statement.
void WindowsResourcesTest::resources() {
    QStringList actual;
    for (const Resource& each : resources_)
        actual.append(QStringLiteral("%1 language %2").arg(each.typeAndName).arg(each.language));
    actual.sort();
    QCOMPARE(actual, (QStringList{"#0/#0 language 0", "#14/#1 language 1033",
                                  "#16/#1 language 1033", "#3/#30001 language 1033",
                                  "#3/#30002 language 1033", "#3/#30003 language 1033"}));
}

// The whole block in order: one string table, "040904B0", of six zero-terminated texts.
void WindowsResourcesTest::versionTree() {
    QCOMPARE(versionNodes_,
             (QStringList{"VS_VERSION_INFO: 52 bytes", "VS_VERSION_INFO/StringFileInfo",
                          "VS_VERSION_INFO/StringFileInfo/040904B0",
                          "VS_VERSION_INFO/StringFileInfo/040904B0/CompanyName: Brixmoor",
                          "VS_VERSION_INFO/StringFileInfo/040904B0/ProductName: Quibly",
                          "VS_VERSION_INFO/StringFileInfo/040904B0/FileVersion: 1.00",
                          "VS_VERSION_INFO/StringFileInfo/040904B0/ProductVersion: 1.00",
                          "VS_VERSION_INFO/StringFileInfo/040904B0/InternalName: Quibly",
                          "VS_VERSION_INFO/StringFileInfo/040904B0/OriginalFilename: Quibly.exe",
                          "VS_VERSION_INFO/VarFileInfo",
                          "VS_VERSION_INFO/VarFileInfo/Translation: 4 bytes"}));
}

void WindowsResourcesTest::versionField_data() {
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<quint32>("expected");
    struct Field {
        const char* name;
        int offset;
        quint32 expected;
    };
    // The fixed part: thirteen double words.
    for (const Field field : {Field{"signature", 0, 0xFEEF04BD},
                              {"structure version", 4, 0x10000},
                              {"file version MS", 8, 0x10000},
                              {"file version LS", 12, 0},
                              {"product version MS", 16, 0x10000},
                              {"product version LS", 20, 0},
                              {"flags mask", 24, 0x3F},
                              {"flags", 28, 0},
                              {"file OS", 32, 4},
                              {"file type", 36, 1},
                              {"file subtype", 40, 0},
                              {"date MS", 44, 0},
                              {"date LS", 48, 0}})
        QTest::newRow(field.name) << "VS_VERSION_INFO" << field.offset << 4 << field.expected;
    const QString translation = QStringLiteral("VS_VERSION_INFO/VarFileInfo/Translation");
    QTest::newRow("translation language") << translation << 0 << 2 << 0x0409u;
    QTest::newRow("translation code page") << translation << 2 << 2 << 0x04B0u;
}

void WindowsResourcesTest::versionField() {
    QFETCH(QString, node);
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(quint32, expected);
    const QByteArray value = versionValues_.value(node);
    QVERIFY2(offset + width <= value.size(), qPrintable(node + " is missing or short"));
    const quint32 actual = width == 4 ? dwordAt(value, offset) : wordAt(value, offset);
    QCOMPARE(QString::number(actual, 16), QString::number(expected, 16));
}

void WindowsResourcesTest::iconImage_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<int>>("entry"); // width, height, colours, reserved, planes, bits
    QTest::addColumn<int>("id");
    QTest::newRow("32x32 1 bpp") << 0 << QList<int>{32, 32, 2, 0, 1, 1} << 30001;
    QTest::newRow("32x32 4 bpp") << 1 << QList<int>{32, 32, 16, 0, 1, 4} << 30002;
    QTest::newRow("16x16 4 bpp") << 2 << QList<int>{16, 16, 16, 0, 1, 4} << 30003;
}

// Each group entry describes its image and names the image resource, which is the program
// icon's image byte for byte.
void WindowsResourcesTest::iconImage() {
    QFETCH(int, index);
    QFETCH(QList<int>, entry);
    QFETCH(int, id);
    const QByteArray group = resource("#14/#1");
    QCOMPARE(group.size(), 6 + 3 * 14);
    QCOMPARE((QList<int>{wordAt(group, 0), wordAt(group, 2), wordAt(group, 4)}),
             (QList<int>{0, 1, 3})); // reserved, an icon (not a cursor), three images

    const QByteArray ico = readEnvironmentFile("QUIBLY_PROGRAM_ICON");
    const qsizetype icoEntry = 6 + 16 * index;
    QVERIFY2(icoEntry + 16 <= ico.size() &&
                 dwordAt(ico, icoEntry + 12) + dwordAt(ico, icoEntry + 8) <= ico.size(),
             "the program icon lacks this image");
    const QByteArray icoImage = ico.mid(dwordAt(ico, icoEntry + 12), dwordAt(ico, icoEntry + 8));
    const qsizetype at = 6 + 14 * index;
    QCOMPARE((QList<int>{quint8(group[at]), quint8(group[at + 1]), quint8(group[at + 2]),
                         quint8(group[at + 3]), wordAt(group, at + 4), wordAt(group, at + 6)}),
             entry);
    QCOMPARE(qsizetype(dwordAt(group, at + 8)), icoImage.size());
    QCOMPARE(int(wordAt(group, at + 12)), id);
    QCOMPARE(resource(QStringLiteral("#3/#%1").arg(id)), icoImage);
}

QTEST_GUILESS_MAIN(WindowsResourcesTest)
#include "WindowsResourcesTest.moc"
