// Started where no display can be reached, the program says so in one line and exits with
// status 1; arguments, toolkit options among them, change nothing.

#include <QProcess>
#include <QtTest>

class NoDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void refusesInOneLine_data() {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("no display set") << "" << QStringList() << "no display is set";
        QTest::newRow("toolkit option ignored")
            << "" << QStringList({"-platform", "offscreen"}) << "no display is set";
        QTest::newRow("unreachable display") << ":93" << QStringList({"hello"}) << "\":93\"";
    }
    void refusesInOneLine() {
        QFETCH(QString, display);
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QUIBLY_EXECUTABLE, arguments);
        QVERIFY(program.waitForFinished(20000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit); // no abort, no core dump
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(errors.count('\n'), 1);
        QVERIFY2(errors.startsWith("Quibly: cannot open its window: "), qPrintable(errors));
        QVERIFY2(errors.contains(mentions), qPrintable(errors));
        QVERIFY(!errors.contains("reinstall", Qt::CaseInsensitive));
        QVERIFY(program.readAllStandardOutput().isEmpty());
    }
};

QTEST_APPLESS_MAIN(NoDisplayTest)
#include "test_no_display.moc"
