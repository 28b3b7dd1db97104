// Reads the compiled Windows resources back and checks them field by field against the
// program's identity: the version block, the icon group and its images, and their language.

#include "LittleEndian.h"
#include "ResourceFile.h"
#include "VersionInfo.h"

#include <QFile>
#include <QTest>
#include <algorithm>

using quibly::platform::dwordAt;
using quibly::platform::wordAt;

namespace {

constexpr quint16 englishUnitedStates = 1033;
constexpr qsizetype fixedFileInfoSize = 52;
constexpr qsizetype groupHeaderSize = 6;
constexpr qsizetype groupEntrySize = 14;
constexpr qsizetype icoHeaderSize = 6;
constexpr qsizetype icoEntrySize = 16;

QString hex(quint32 value) {
    return QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0'));
}

QString environmentPath(const char* variable) {
    const QString path = qEnvironmentVariable(variable);
    if (path.isEmpty())
        qFatal("environment variable %s (a file the test reads) is not set", variable);
    return path;
}

const VersionNode* child(const VersionNode* parent, const QString& key) {
    if (parent == nullptr)
        return nullptr;
    const auto found = std::find_if(parent->children.begin(), parent->children.end(),
                                    [&](const VersionNode& node) { return node.key == key; });
    return found == parent->children.end() ? nullptr : &*found;
}

QStringList keys(const VersionNode* node) {
    QStringList result;
    if (node != nullptr)
        for (const VersionNode& childNode : node->children)
            result.append(childNode.key);
    return result;
}

// The bytes of image `index` of an .ico file, as its directory entry places them; empty when the
// file has no such image.
QByteArray icoImage(const QByteArray& ico, int index) {
    const qsizetype entry = icoHeaderSize + index * icoEntrySize;
    if (ico.size() < entry + icoEntrySize || wordAt(ico, 4) <= index)
        return {};
    return ico.mid(dwordAt(ico, entry + 12), dwordAt(ico, entry + 8));
}

} // namespace

class WindowsResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void resourceSet();
    void resourceLanguage_data();
    void resourceLanguage();

    void versionBlockLayout();
    void fixedPart_data();
    void fixedPart();
    void stringTable();
    void strings_data();
    void strings();
    void translation_data();
    void translation();

    void iconGroupHeader();
    void iconGroupEntry_data();
    void iconGroupEntry();
    void iconImage_data();
    void iconImage();

private:
    static void addIconImageRows();
    const Resource* find(const QString& type, const QString& name) const;
    const VersionNode* stringTableNode() const;

    std::vector<Resource> resources_;
    VersionNode versionBlock_;
    QByteArray programIcon_;
};

void WindowsResourcesTest::initTestCase() {
    const QString iconPath = environmentPath("QUIBLY_PROGRAM_ICON");
    QFile icon(iconPath);
    QVERIFY2(icon.open(QIODevice::ReadOnly),
             qPrintable(QStringLiteral("reading %1: %2").arg(iconPath, icon.errorString())));
    programIcon_ = icon.readAll();
    try {
        resources_ = readResourceFile(environmentPath("QUIBLY_RESOURCE_FILE"));
        // A missing version block is reported by the checks that need it.
        if (const Resource* version = find(QStringLiteral("#16"), QStringLiteral("#1")))
            versionBlock_ = readVersionBlock(version->data);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
}

const Resource* WindowsResourcesTest::find(const QString& type, const QString& name) const {
    const auto found = std::find_if(resources_.begin(), resources_.end(), [&](const Resource& r) {
        return r.type == type && r.name == name;
    });
    return found == resources_.end() ? nullptr : &*found;
}

const VersionNode* WindowsResourcesTest::stringTableNode() const {
    const VersionNode* stringFileInfo = child(&versionBlock_, QStringLiteral("StringFileInfo"));
    if (stringFileInfo == nullptr || stringFileInfo->children.empty())
        return nullptr;
    return &stringFileInfo->children.front();
}

// Exactly the version block, the icon group and its three images: nothing the resource
// compiler might add on its own, such as images numbered by an ICON statement.
void WindowsResourcesTest::resourceSet() {
    QStringList actual;
    for (const Resource& resource : resources_)
        actual.append(resource.type + QLatin1Char('/') + resource.name);
    actual.sort();
    const QStringList expected{"#14/#1", "#16/#1", "#3/#30001", "#3/#30002", "#3/#30003"};
    QCOMPARE(actual, expected);
}

void WindowsResourcesTest::resourceLanguage_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("version block") << "#16"
                                   << "#1";
    QTest::newRow("icon group") << "#14"
                                << "#1";
    QTest::newRow("icon image 30001") << "#3"
                                      << "#30001";
    QTest::newRow("icon image 30002") << "#3"
                                      << "#30002";
    QTest::newRow("icon image 30003") << "#3"
                                      << "#30003";
}

void WindowsResourcesTest::resourceLanguage() {
    QFETCH(QString, type);
    QFETCH(QString, name);
    const Resource* resource = find(type, name);
    QVERIFY2(resource != nullptr, "resource missing");
    QCOMPARE(resource->language, englishUnitedStates);
}

void WindowsResourcesTest::versionBlockLayout() {
    QCOMPARE(versionBlock_.key, QStringLiteral("VS_VERSION_INFO"));
    QCOMPARE(versionBlock_.valueType, VersionNode::ValueType::Binary);
    QCOMPARE(keys(&versionBlock_), (QStringList{"StringFileInfo", "VarFileInfo"}));
    QCOMPARE(keys(child(&versionBlock_, QStringLiteral("VarFileInfo"))),
             QStringList{"Translation"});
}

void WindowsResourcesTest::fixedPart_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("signature") << 0 << 0xFEEF04BDu;
    QTest::newRow("structure version") << 4 << 0x00010000u;
    QTest::newRow("file version MS") << 8 << 0x00010000u;
    QTest::newRow("file version LS") << 12 << 0u;
    QTest::newRow("product version MS") << 16 << 0x00010000u;
    QTest::newRow("product version LS") << 20 << 0u;
    QTest::newRow("flags mask") << 24 << 0x3Fu;
    QTest::newRow("flags") << 28 << 0u;
    QTest::newRow("file OS") << 32 << 4u;
    QTest::newRow("file type") << 36 << 1u;
    QTest::newRow("file subtype") << 40 << 0u;
    QTest::newRow("date MS") << 44 << 0u;
    QTest::newRow("date LS") << 48 << 0u;
}

void WindowsResourcesTest::fixedPart() {
    QFETCH(int, offset);
    QFETCH(quint32, expected);
    QCOMPARE(versionBlock_.value.size(), fixedFileInfoSize);
    QCOMPARE(hex(dwordAt(versionBlock_.value, offset)), hex(expected));
}

void WindowsResourcesTest::stringTable() {
    QCOMPARE(keys(child(&versionBlock_, QStringLiteral("StringFileInfo"))),
             QStringList{"040904B0"});
    const VersionNode* table = stringTableNode();
    QVERIFY(table != nullptr);
    QCOMPARE(table->children.size(), std::size_t{6});
}

// Each row's tag is the key expected at its index.
void WindowsResourcesTest::strings_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("value");
    QTest::newRow("CompanyName") << 0 << "Brixmoor";
    QTest::newRow("ProductName") << 1 << "Quibly";
    QTest::newRow("FileVersion") << 2 << "1.00";
    QTest::newRow("ProductVersion") << 3 << "1.00";
    QTest::newRow("InternalName") << 4 << "Quibly";
    QTest::newRow("OriginalFilename") << 5 << "Quibly.exe";
}

void WindowsResourcesTest::strings() {
    QFETCH(int, index);
    QFETCH(QString, value);
    const VersionNode* table = stringTableNode();
    QVERIFY(table != nullptr);
    QVERIFY2(std::size_t(index) < table->children.size(), "string missing");
    const VersionNode& string = table->children[std::size_t(index)];
    QCOMPARE(string.key, QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(string.valueType, VersionNode::ValueType::Text);
    const QString text = string.text();
    QVERIFY2(text.endsWith(QChar(u'\0')), "value is not zero-terminated");
    QCOMPARE(text.chopped(1), value);
}

void WindowsResourcesTest::translation_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("language") << 0 << 0x0409u;
    QTest::newRow("code page") << 2 << 0x04B0u;
}

void WindowsResourcesTest::translation() {
    QFETCH(int, offset);
    QFETCH(quint32, expected);
    const VersionNode* translation =
        child(child(&versionBlock_, QStringLiteral("VarFileInfo")), QStringLiteral("Translation"));
    QVERIFY(translation != nullptr);
    QCOMPARE(translation->valueType, VersionNode::ValueType::Binary);
    QCOMPARE(translation->value.size(), qsizetype{4});
    QCOMPARE(hex(wordAt(translation->value, offset)), hex(expected));
}

void WindowsResourcesTest::iconGroupHeader() {
    const Resource* group = find(QStringLiteral("#14"), QStringLiteral("#1"));
    QVERIFY2(group != nullptr, "icon group 1 missing");
    QCOMPARE(group->data.size(), groupHeaderSize + 3 * groupEntrySize);
    QCOMPARE(wordAt(group->data, 0), quint16{0}); // reserved
    QCOMPARE(wordAt(group->data, 2), quint16{1}); // an icon, not a cursor
    QCOMPARE(wordAt(group->data, 4), quint16{3});
}

void WindowsResourcesTest::addIconImageRows() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<int>("id");
    QTest::newRow("32x32, 2 colours") << 0 << 32 << 32 << 2 << 1 << 30001;
    QTest::newRow("32x32, 16 colours") << 1 << 32 << 32 << 16 << 4 << 30002;
    QTest::newRow("16x16, 16 colours") << 2 << 16 << 16 << 16 << 4 << 30003;
}

void WindowsResourcesTest::iconGroupEntry_data() {
    addIconImageRows();
}

void WindowsResourcesTest::iconGroupEntry() {
    QFETCH(int, index);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, colours);
    QFETCH(int, bitCount);
    QFETCH(int, id);
    const Resource* group = find(QStringLiteral("#14"), QStringLiteral("#1"));
    QVERIFY2(group != nullptr, "icon group 1 missing");
    const qsizetype entry = groupHeaderSize + index * groupEntrySize;
    QVERIFY2(group->data.size() >= entry + groupEntrySize, "entry missing");
    const QByteArray& data = group->data;
    QCOMPARE(int(quint8(data[entry])), width);
    QCOMPARE(int(quint8(data[entry + 1])), height);
    QCOMPARE(int(quint8(data[entry + 2])), colours);
    QCOMPARE(int(quint8(data[entry + 3])), 0); // reserved
    QCOMPARE(int(wordAt(data, entry + 4)), 1); // planes
    QCOMPARE(int(wordAt(data, entry + 6)), bitCount);
    QCOMPARE(qsizetype(dwordAt(data, entry + 8)), icoImage(programIcon_, index).size());
    QCOMPARE(int(wordAt(data, entry + 12)), id);
}

void WindowsResourcesTest::iconImage_data() {
    addIconImageRows();
}

// Each image resource is the program icon's image byte for byte, and that image is the bitmap
// the group entry describes.
void WindowsResourcesTest::iconImage() {
    QFETCH(int, index);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bitCount);
    QFETCH(int, id);
    const Resource* image = find(QStringLiteral("#3"), QStringLiteral("#%1").arg(id));
    QVERIFY2(image != nullptr, "icon image missing");
    const QByteArray expected = icoImage(programIcon_, index);
    QVERIFY2(!expected.isEmpty(), "the program icon lacks this image");
    QCOMPARE(image->data, expected);
    QVERIFY(expected.size() >= 16);
    QCOMPARE(int(dwordAt(expected, 4)), width);
    QCOMPARE(int(dwordAt(expected, 8)), 2 * height); // colour bits and mask, stacked
    QCOMPARE(int(wordAt(expected, 12)), 1);          // planes
    QCOMPARE(int(wordAt(expected, 14)), bitCount);
}

QTEST_GUILESS_MAIN(WindowsResourcesTest)
#include "WindowsResourcesTest.moc"
