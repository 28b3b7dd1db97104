// The shipped executable is hardened: each row names one property and what readelf must show
// for it. QUIBLY_ELF_FILE names the file read, so that the same rows can be pointed at samples
// built without one property each, where exactly that row must fail.

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class HardeningTest : public QObject {
    Q_OBJECT

    QString file_;
    QString report_;

private slots:
    void initTestCase() {
        file_ = qEnvironmentVariable("QUIBLY_ELF_FILE");
        QVERIFY2(!file_.isEmpty(), "QUIBLY_ELF_FILE names no file to read");
        QProcess readelf;
        readelf.start(QUIBLY_READELF, {"--wide", "--file-header", "--program-headers", "--dynamic",
                                       "--dyn-syms", file_});
        QVERIFY2(readelf.waitForFinished(30000),
                 qPrintable("readelf " + file_ + " did not finish: " + readelf.errorString()));
        QVERIFY2(readelf.exitStatus() == QProcess::NormalExit && readelf.exitCode() == 0,
                 qPrintable("readelf " + file_ + " failed: " + readelf.readAllStandardError()));
        report_ = QString::fromUtf8(readelf.readAllStandardOutput());
    }

    void hardened_data() {
        QTest::addColumn<QStringList>("evidence");
        QTest::newRow("position-independent executable")
            << QStringList{R"(^\s*Type:\s+DYN\b)", R"(\(FLAGS_1\)\s+Flags:.*\bPIE\b)"};
        QTest::newRow("full RELRO") << QStringList{
            R"(^\s*GNU_RELRO\s)", R"(\(FLAGS\)\s.*\bBIND_NOW\b|\(FLAGS_1\)\s+Flags:.*\bNOW\b)"};
        // The flags column reads RW, or RWE where the stack is executable; a missing GNU_STACK
        // segment leaves it executable too.
        QTest::newRow("non-executable stack")
            << QStringList{R"(^\s*GNU_STACK(\s+0x[0-9a-f]+){5}\s+RW\s)"};
        QTest::newRow("stack protector") << QStringList{R"(\sUND\s+__stack_chk_fail\b)"};
        QTest::newRow("_FORTIFY_SOURCE") << QStringList{R"(\sUND\s+__(?!stack_chk)\w+_chk\b)"};
    }
    void hardened() {
        QFETCH(QStringList, evidence);
        for (const QString& pattern : evidence) {
            const QRegularExpression shows(pattern, QRegularExpression::MultilineOption);
            QVERIFY2(shows.isValid(), qPrintable(pattern + ": " + shows.errorString()));
            QVERIFY2(shows.match(report_).hasMatch(),
                     qPrintable(QString("%1 lacks %2: readelf shows nothing matching %3")
                                    .arg(file_, QTest::currentDataTag(), pattern)));
        }
    }
};

QTEST_APPLESS_MAIN(HardeningTest)
#include "HardeningTest.moc"
