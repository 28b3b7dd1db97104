// Integer to text and exact comparison of texts.

#include "runtime/Text.h"

#include <QtTest>
#include <limits>

using namespace FormsRuntime;

class TextTest : public QObject {
    Q_OBJECT

private slots:
    void integerToText_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "0";
        QTest::newRow("one digit") << 1 << "1";
        QTest::newRow("two digits, no leading zero") << 15 << "15";
        QTest::newRow("inner zeros kept") << 1005 << "1005";
        QTest::newRow("negative") << -7 << "-7";
        QTest::newRow("16-bit extremes") << -32768 << "-32768";
        QTest::newRow("largest") << std::numeric_limits<int>::max() << "2147483647";
        QTest::newRow("smallest") << std::numeric_limits<int>::min() << "-2147483648";
    }
    void integerToText() {
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdU16String(IntToText(value)), text);
    }

    void comparisonIsExact_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("same") << "hi"
                              << "hi" << true;
        QTest::newRow("both empty") << ""
                                    << "" << true;
        QTest::newRow("letter case") << "hi"
                                     << "Hi" << false;
        QTest::newRow("trailing blank") << "hi"
                                        << "hi " << false;
        QTest::newRow("prefix") << "hi"
                                << "h" << false;
        QTest::newRow("embedded NUL") << QString("hi") << QString("hi") + QChar(0) << false;
    }
    void comparisonIsExact() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, equal);
        QCOMPARE(TextEquals(a.toStdU16String(), b.toStdU16String()), equal);
    }
};

QTEST_APPLESS_MAIN(TextTest)
#include "test_text.moc"
