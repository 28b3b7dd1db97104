// How a run ends: a failing operation becomes a run-time error that names its object and
// operation, is shown to the user and ends the program with a non-zero status; End and the
// closing of the last window end it normally; faulty layouts are refused.

#include "Scenario.h"
#include "TestForm.h"
#include "runtime/Runtime.h"
#include "runtime/RuntimeError.h"

#include <QPushButton>
#include <QtTest>

using namespace FormsRuntime;

namespace {

constexpr std::array brokenControls{
    ControlLayout{.kind = ControlKind::Image,
                  .name = "Picture",
                  .width = 150,
                  .height = 150,
                  .picture = ":/tests/broken.bmp"},
};
constexpr WindowLayout brokenWindow{.name = "frmBroken", .controls = brokenControls};

class frmBroken final : public Form {
public:
    frmBroken() : Form(brokenWindow) {}
};

// Set by procedures under test, so that the test can see how far they ran.
bool reachedAfterFailure = false;
bool heldObjectReleased = false;
int endingClicks = 0;

struct Held {
    ~Held() { heldObjectReleased = true; }
};

void MainThatLoadsABrokenPicture() {
    const Held held;
    DefaultInstance<frmBroken>().Show();
    reachedAfterFailure = true;
}

// A window whose button ends the program, then tries to go on.
class frmEnding final : public Form {
public:
    frmEnding() : Form(TestLayout::window) {
        OnClick("OkButton", [] {
            ++endingClicks;
            // A click queued before End must never be delivered.
            QMetaObject::invokeMethod(qApp->focusWidget(), "click", Qt::QueuedConnection);
            End();
            reachedAfterFailure = true;
        });
        OnClick("CancelButton", [] {
            const Held held;
            frmBroken unloaded;
            unloaded.Refresh(); // fails: the window is not loaded
            reachedAfterFailure = true;
        });
    }
};

void ShowEndingForm() {
    DefaultInstance<frmEnding>().Show();
}

QPushButton& Button(const char* name) {
    return *TestSupport::TopLevel("frmTest")->findChild<QPushButton*>(name);
}

} // namespace

class RunErrorsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        reachedAfterFailure = false;
        heldObjectReleased = false;
        endingClicks = 0;
    }

    void failureInMainIsReportedAndEndsTheProgram() {
        TestSupport::AnsweredBox box;
        TestSupport::AnswerNextMessageBox(box, [](QWidget& shown) { shown.close(); });
        const int status =
            FormsRuntime::Run({.app = {.Title = u"Tester"}, .main = &MainThatLoadsABrokenPicture});
        QCOMPARE(status, int(ExitRunTimeError));
        QVERIFY(box.answered);
        QCOMPARE(box.objectName, QString("RunTimeError"));
        QCOMPARE(box.title, QString("Tester"));
        QVERIFY2(box.text.contains("frmBroken.Picture: load picture failed"), qPrintable(box.text));
        QVERIFY(!reachedAfterFailure);
        QVERIFY(heldObjectReleased);
        QVERIFY(TestSupport::TopLevel("frmBroken") == nullptr);
    }

    void failureInAHandlerEndsTheProgram() {
        TestSupport::AnsweredBox box;
        const int status =
            TestSupport::RunScenario({.app = {.Title = u"Tester"}, .main = &ShowEndingForm}, [&] {
                TestSupport::AnswerNextMessageBox(box, [](QWidget& shown) { shown.close(); });
                Button("CancelButton").click();
            });
        QCOMPARE(status, int(ExitRunTimeError));
        QVERIFY2(box.text.contains("frmBroken: Refresh failed: the window frmBroken is not loaded"),
                 qPrintable(box.text));
        QVERIFY(!reachedAfterFailure);
        QVERIFY(heldObjectReleased);
    }

    void endStopsAtOnceAndNoFurtherEventRuns() {
        const int status =
            TestSupport::RunScenario({.app = {.Title = u"Tester"}, .main = &ShowEndingForm}, [] {
                Button("OkButton").setFocus();
                Button("OkButton").click();
            });
        QCOMPARE(status, int(ExitNormal));
        QVERIFY(!reachedAfterFailure);
        QCOMPARE(endingClicks, 1);
    }

    void closingTheLastWindowEndsTheProgramWithoutAQuestion() {
        const int status =
            TestSupport::RunScenario({.app = {.Title = u"Tester"}, .main = &ShowEndingForm}, [] {
                TestSupport::TopLevel("frmTest")->close();
                QVERIFY(QApplication::activeModalWidget() == nullptr);
            });
        QCOMPARE(status, int(ExitNormal));
        QVERIFY(TestSupport::TopLevel("frmTest") == nullptr);
    }

    void faultyLayoutsAreRefused_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("object");
        QTest::newRow("name used twice") << 0 << "frmFaulty.Twin";
        QTest::newRow("container is not a frame") << 1 << "frmFaulty.Orphan";
        QTest::newRow("click bound to a label") << 2 << "frmFaulty.Twin";
    }
    void faultyLayoutsAreRefused() {
        QFETCH(int, fault);
        QFETCH(QString, object);
        static constexpr std::array twins{
            ControlLayout{.kind = ControlKind::Label, .name = "Twin"},
            ControlLayout{.kind = ControlKind::Label, .name = "Twin"}};
        static constexpr std::array orphan{
            ControlLayout{.kind = ControlKind::Label, .name = "Twin"},
            ControlLayout{.kind = ControlKind::Label, .name = "Orphan", .container = "Twin"}};
        static constexpr std::array single{
            ControlLayout{.kind = ControlKind::Label, .name = "Twin"}};
        const std::span<const ControlLayout> layouts[] = {twins, orphan, single};
        const WindowLayout window{.name = "frmFaulty", .controls = layouts[fault]};
        struct Faulty : Form {
            Faulty(const WindowLayout& layout, bool bindClick) : Form(layout) {
                if (bindClick)
                    OnClick("Twin", [] {});
            }
        };
        try {
            Faulty form(window, fault == 2);
            QFAIL("a faulty layout was accepted");
        } catch (const RuntimeError& error) {
            QCOMPARE(QString::fromStdString(error.Object()), object);
        }
    }
};

QTEST_MAIN(RunErrorsTest)
#include "test_run_errors.moc"
