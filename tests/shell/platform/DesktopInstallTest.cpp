// Checks what `cmake --install` puts on a Linux system: the program, its launcher entry, its
// AppStream metainfo and its theme icons, and that they name one another correctly.

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QSettings>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString applicationId = QStringLiteral("com.brixmoor.Quibly");
const QString program = QStringLiteral("Quibly");

QString environmentPath(const char* variable) {
    const QString path = qEnvironmentVariable(variable);
    if (path.isEmpty())
        qFatal("environment variable %s (a path the test reads) is not set", variable);
    return path;
}

} // namespace

class DesktopInstallTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void installedFile_data();
    void installedFile();
    void names_data();
    void names();

private:
    QString prefix_;
    QHash<QString, QString> metainfo_; // "id", "binary" and "launchable <type>"
};

void DesktopInstallTest::initTestCase() {
    prefix_ = environmentPath("QUIBLY_INSTALL_PREFIX");
    QFile file(prefix_ + "/share/metainfo/" + applicationId + ".metainfo.xml");
    QVERIFY2(file.open(QIODevice::ReadOnly),
             qPrintable(file.fileName() + ": " + file.errorString()));
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        QString key = xml.name().toString();
        if (key == "launchable")
            key += ' ' + xml.attributes().value("type").toString();
        if (key == "id" || key == "binary" || key.startsWith("launchable"))
            metainfo_.insert(key, xml.readElementText());
    }
    QVERIFY2(!xml.hasError(), qPrintable(file.fileName() + ": " + xml.errorString()));
}

void DesktopInstallTest::installedFile_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("iconSize"); // 0: not a theme icon
    QTest::addColumn<int>("icoImage"); // the program icon's image of that size in 16 colours
    QTest::newRow("program") << "bin/" + program << 0 << 0;
    QTest::newRow("launcher") << "share/applications/" + applicationId + ".desktop" << 0 << 0;
    QTest::newRow("metainfo") << "share/metainfo/" + applicationId + ".metainfo.xml" << 0 << 0;
    for (const auto& [size, image] : {std::pair{16, 2}, {32, 1}})
        QTest::addRow("icon %dx%d", size, size)
            << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(applicationId)
            << size << image;
}

void DesktopInstallTest::installedFile() {
    QFETCH(QString, path);
    QFETCH(int, iconSize);
    QFETCH(int, icoImage);
    const QFileInfo file(prefix_ + '/' + path);
    QVERIFY2(file.isFile(), qPrintable(file.filePath() + " is missing"));
    QCOMPARE(file.isExecutable(), path.startsWith("bin/"));
    if (iconSize == 0)
        return;
    QImageReader png(file.filePath(), "png");
    const QImage installed = png.read();
    QVERIFY2(!installed.isNull(), qPrintable(png.fileName() + ": " + png.errorString()));
    QCOMPARE(installed.size(), QSize(iconSize, iconSize));
    QImageReader ico(environmentPath("QUIBLY_PROGRAM_ICON"), "ico");
    QVERIFY(ico.jumpToImage(icoImage));
    QCOMPARE(installed.convertToFormat(QImage::Format_ARGB32),
             ico.read().convertToFormat(QImage::Format_ARGB32));
}

// The launcher starts the installed program by its name on the search path, under the window
// class Qt gives it, and shows the installed theme icon; the metainfo names all three.
void DesktopInstallTest::names_data() {
    // Desktop entries are close enough to INI for the plain keys read here.
    QSettings launcher(prefix_ + "/share/applications/" + applicationId + ".desktop",
                       QSettings::IniFormat);
    launcher.beginGroup("Desktop Entry");
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Exec") << launcher.value("Exec").toString() << program;
    QTest::newRow("StartupWMClass") << launcher.value("StartupWMClass").toString() << program;
    QTest::newRow("Icon") << launcher.value("Icon").toString() << applicationId;
    QTest::newRow("metainfo id") << metainfo_.value("id") << applicationId;
    QTest::newRow("metainfo launchable")
        << metainfo_.value("launchable desktop-id") << applicationId + ".desktop";
    QTest::newRow("metainfo binary") << metainfo_.value("binary") << program;
}

void DesktopInstallTest::names() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_MAIN(DesktopInstallTest)
#include "DesktopInstallTest.moc"
