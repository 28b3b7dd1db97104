// Checks what `cmake --install` puts on a Linux system: the program, its launcher entry, its
// AppStream metainfo and its theme icons, and that they name one another correctly.

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString applicationId = QStringLiteral("com.brixmoor.Quibly");

QString environmentPath(const char* variable) {
    const QString path = qEnvironmentVariable(variable);
    if (path.isEmpty())
        qFatal("environment variable %s (a path the test reads) is not set", variable);
    return path;
}

// The keys of the [Desktop Entry] group; empty when the file cannot be read.
QHash<QString, QString> readDesktopEntry(const QString& path) {
    QHash<QString, QString> entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(QLatin1Char('=')))
            entry.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return entry;
}

struct Metainfo {
    QString id;
    QString desktopLaunchable;
    QString binary;
    QString releaseVersion;
    QString error;
};

Metainfo readMetainfo(const QString& path) {
    Metainfo metainfo;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        metainfo.error = QStringLiteral("reading %1: %2").arg(path, file.errorString());
        return metainfo;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("id"))
            metainfo.id = xml.readElementText();
        else if (name == QLatin1String("launchable") &&
                 xml.attributes().value(QLatin1String("type")) == QLatin1String("desktop-id"))
            metainfo.desktopLaunchable = xml.readElementText();
        else if (name == QLatin1String("binary"))
            metainfo.binary = xml.readElementText();
        else if (name == QLatin1String("release"))
            metainfo.releaseVersion = xml.attributes().value(QLatin1String("version")).toString();
    }
    if (xml.hasError())
        metainfo.error = QStringLiteral("parsing %1: %2").arg(path, xml.errorString());
    return metainfo;
}

} // namespace

class DesktopInstallTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void installedFiles_data();
    void installedFiles();
    void desktopEntryExec();
    void desktopEntryStartupWMClass();
    void desktopEntryIcon_data();
    void desktopEntryIcon();
    void metainfoNamesInstalledFiles();

private:
    QString installed(const QString& relativePath) const { return prefix_ + '/' + relativePath; }
    QString installedProgram(const QString& name) const { return installed("bin/" + name); }
    QString themeIcon(int size, const QString& name) const {
        return installed(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(name));
    }

    QString prefix_;
    QString programIcon_;
    QHash<QString, QString> desktopEntry_;
};

void DesktopInstallTest::initTestCase() {
    prefix_ = environmentPath("QUIBLY_INSTALL_PREFIX");
    programIcon_ = environmentPath("QUIBLY_PROGRAM_ICON");
    desktopEntry_ = readDesktopEntry(installed("share/applications/" + applicationId + ".desktop"));
}

void DesktopInstallTest::installedFiles_data() {
    QTest::addColumn<QString>("path");
    for (const QString& path :
         {QStringLiteral("bin/Quibly"), "share/applications/" + applicationId + ".desktop",
          "share/metainfo/" + applicationId + ".metainfo.xml",
          "share/icons/hicolor/16x16/apps/" + applicationId + ".png",
          "share/icons/hicolor/32x32/apps/" + applicationId + ".png"})
        QTest::newRow(qPrintable(path)) << path;
}

void DesktopInstallTest::installedFiles() {
    QFETCH(QString, path);
    QVERIFY2(QFileInfo(installed(path)).isFile(), qPrintable(installed(path) + " is missing"));
}

// The launcher starts the installed program, by a name found on the search path.
void DesktopInstallTest::desktopEntryExec() {
    const QString exec = desktopEntry_.value(QStringLiteral("Exec"));
    QVERIFY2(!exec.isEmpty(), "no Exec key");
    QVERIFY2(!exec.contains(QLatin1Char('/')), qPrintable("Exec is a path: " + exec));
    const QFileInfo program(installedProgram(exec.section(QLatin1Char(' '), 0, 0)));
    QVERIFY2(program.isFile() && program.isExecutable(),
             qPrintable("Exec names no installed program: " + exec));
}

// Desktops match running windows to the launcher by window class; Qt's class is the program name.
void DesktopInstallTest::desktopEntryStartupWMClass() {
    QCOMPARE(desktopEntry_.value(QStringLiteral("StartupWMClass")),
             desktopEntry_.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0));
}

void DesktopInstallTest::desktopEntryIcon_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("icoImage"); // the 16-colour image of that size in the program icon
    QTest::newRow("16x16") << 16 << 2;
    QTest::newRow("32x32") << 32 << 1;
}

// The launcher's icon name resolves to theme icons that show the program icon's pixels.
void DesktopInstallTest::desktopEntryIcon() {
    QFETCH(int, size);
    QFETCH(int, icoImage);
    const QString iconName = desktopEntry_.value(QStringLiteral("Icon"));
    QVERIFY2(!iconName.isEmpty(), "no Icon key");
    QImageReader png(themeIcon(size, iconName), "png");
    const QImage installedIcon = png.read();
    QVERIFY2(!installedIcon.isNull(), qPrintable(png.fileName() + ": " + png.errorString()));
    QCOMPARE(installedIcon.size(), QSize(size, size));

    QImageReader ico(programIcon_, "ico");
    QVERIFY(ico.jumpToImage(icoImage));
    const QImage original = ico.read();
    QVERIFY2(!original.isNull(), qPrintable(programIcon_ + ": " + ico.errorString()));
    QCOMPARE(installedIcon.convertToFormat(QImage::Format_ARGB32),
             original.convertToFormat(QImage::Format_ARGB32));
}

void DesktopInstallTest::metainfoNamesInstalledFiles() {
    const Metainfo metainfo =
        readMetainfo(installed("share/metainfo/" + applicationId + ".metainfo.xml"));
    QVERIFY2(metainfo.error.isEmpty(), qPrintable(metainfo.error));
    QCOMPARE(metainfo.id, applicationId);
    QCOMPARE(metainfo.desktopLaunchable, applicationId + ".desktop");
    const QFileInfo binary(installedProgram(metainfo.binary));
    QVERIFY2(!metainfo.binary.isEmpty() && binary.isFile() && binary.isExecutable(),
             qPrintable("provided binary is not installed: " + metainfo.binary));
    QCOMPARE(metainfo.releaseVersion, QStringLiteral("1.0.0"));
}

QTEST_MAIN(DesktopInstallTest)
#include "DesktopInstallTest.moc"
