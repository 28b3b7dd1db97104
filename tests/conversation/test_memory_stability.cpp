// A million Enter clicks, matching and not matching by turns, leave resident memory where the
// first ten thousand put it.

#include "Scenario.h"
#include "shell/Program.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <fstream>
#include <unistd.h>

namespace {

long ResidentKiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

class MemoryStabilityTest : public QObject {
    Q_OBJECT

private slots:
    void millionClicksDoNotGrowMemory() {
        long afterWarmUp = 0, atEnd = 0;
        TestSupport::RunScenario(QuiblyProgram, [&] {
            QWidget& window = *TestSupport::TopLevel("frmMain");
            auto& text = *window.findChild<QLineEdit*>("Text1");
            auto& enter = *window.findChild<QPushButton*>("Command1");
            const QString phrases[] = {"how are you?", "how are you"};
            for (int click = 1; click <= 1'000'000; ++click) {
                text.setText(phrases[click % 2]);
                enter.click();
                if (click % 1000 == 0)
                    QCoreApplication::processEvents(); // let the label repaint now and then
                if (click == 10'000)
                    afterWarmUp = ResidentKiB();
            }
            atEnd = ResidentKiB();
        });
        qInfo("resident after 10,000 clicks: %ld KiB; after 1,000,000: %ld KiB", afterWarmUp,
              atEnd);
        QVERIFY(afterWarmUp > 0);
        QVERIFY2(atEnd * 100 < afterWarmUp * 101, "memory grew by 1% or more");
    }
};

QTEST_MAIN(MemoryStabilityTest)
#include "test_memory_stability.moc"
