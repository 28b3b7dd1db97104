// The runtime builds windows from layout tables: geometry in twips, stacking and painting
// order, fonts, colours, focus, keys and the window lifecycle.

#include "Pixels.h"
#include "Scenario.h"
#include "TestForm.h"
#include "runtime/Runtime.h"
#include "runtime/RuntimeError.h"

#include <QFontInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace FormsRuntime;
using TestSupport::PixelAt;

namespace {

// Clicks made while Main runs must start nothing.
void ShowTestFormAndClick() {
    DefaultInstance<frmTest>().Show();
    QTest::mouseClick(TestSupport::TopLevel("frmTest")->findChild<QPushButton*>("OkButton"),
                      Qt::LeftButton);
}
const Program testProgram{.app = {.Title = u"Tester"}, .main = &ShowTestFormAndClick};

QWidget& Child(QWidget& window, const char* name) {
    auto* child = window.findChild<QWidget*>(QString::fromLatin1(name));
    if (child == nullptr)
        qFatal("no control %s", name);
    return *child;
}

} // namespace

class FormsTest : public QObject {
    Q_OBJECT

private slots:
    void geometryFollowsTwips_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("button") << "OkButton" << QRect(100, 100, 50, 25);
        QTest::newRow("text box") << "Entry" << QRect(0, 100, 100, 25);
        QTest::newRow("frame") << "Panel" << QRect(200, 0, 100, 100);
        QTest::newRow("label in frame") << "Inner" << QRect(10, 10, 20, 20);
        QTest::newRow("line, both ends included") << "Edge" << QRect(0, 0, 101, 1);
        QTest::newRow("word-wrapped label keeps its box") << "Wrapped" << QRect(80, 0, 40, 17);
        QTest::newRow("client area") << "ClientArea" << QRect(0, 0, 300, 150);
    }
    void geometryFollowsTwips() {
        QFETCH(QString, control);
        QFETCH(QRect, pixels);
        frmTest form;
        form.Show();
        auto* window = TestSupport::TopLevel("frmTest");
        QVERIFY(window != nullptr);
        auto* widget = window->findChild<QWidget*>(control);
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->geometry().size(), pixels.size());
        if (control != "ClientArea")
            QCOMPARE(widget->geometry().topLeft(), pixels.topLeft());
    }

    void paintingOrder_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("upper label over lower") << QPoint(30, 30) << QColor(Qt::red);
        QTest::newRow("lower label beside it") << QPoint(60, 60) << QColor(Qt::blue);
        QTest::newRow("line over the label it edges") << QPoint(40, 0) << QColor(Qt::black);
        QTest::newRow("line's last pixel") << QPoint(100, 0) << QColor(Qt::black);
        QTest::newRow("label inside frame") << QPoint(215, 15) << QColor(Qt::blue);
        QTest::newRow("frame background") << QPoint(205, 5) << QColor(Qt::green);
        QTest::newRow("text box over a label listed above it")
            << QPoint(50, 112) << QGuiApplication::palette().color(QPalette::Base);
    }
    void paintingOrder() {
        QFETCH(QPoint, point);
        QFETCH(QColor, expected);
        frmTest form;
        form.Show();
        auto& client = Child(*TestSupport::TopLevel("frmTest"), "ClientArea");
        QCOMPARE(PixelAt(TestSupport::Render(client), point), expected);
    }

    void fontsAndCaptions() {
        frmTest form;
        form.Show();
        auto& window = *TestSupport::TopLevel("frmTest");
        const QFont font = Child(window, "Fitted").font();
        QCOMPARE(font.pixelSize(), 16); // 12 pt at 96 dpi
        QCOMPARE(font.weight(), QFont::Bold);
        QCOMPARE(QFontInfo(font).family(), QString("Liberation Sans"));
        QCOMPARE(Child(window, "Entry").font().pixelSize(), 11); // the default, 8.25 pt
        // Captions are literal: an ampersand is shown, not taken as an access key.
        QCOMPARE(static_cast<QPushButton&>(Child(window, "OkButton")).text(), QString("OK && go"));
        QCOMPARE(window.findChild<QAction*>("MenuGo")->text(), QString("Go && see"));
        QCOMPARE(static_cast<QLineEdit&>(Child(window, "Entry")).maxLength(),
                 std::numeric_limits<int>::max());
    }

    void autoSizeLabelTakesItsTextSizeKeepingLeftAndTop() {
        frmTest form;
        form.Show();
        QWidget& label = Child(*TestSupport::TopLevel("frmTest"), "Fitted");
        for (const auto& caption : {u"Fit", u"Fitting a longer caption", u"x"}) {
            form.Fitted.SetCaption(caption);
            const QFontMetrics metrics(label.font());
            const QString text = QString::fromStdU16String(caption);
            QCOMPARE(label.geometry(),
                     QRect(80, 60, metrics.horizontalAdvance(text), metrics.height()));
            QCOMPARE(QString::fromStdU16String(form.Fitted.Caption()), text);
        }
    }

    void focusStartsAtLowestTabIndexAndTabFollowsIt() {
        frmTest form;
        form.Show();
        auto& window = *TestSupport::TopLevel("frmTest");
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const char* order[] = {"Entry", "CancelButton", "OkButton", "Entry"};
        for (const char* expected : order) {
            QCOMPARE(QApplication::focusWidget()->objectName(), QString(expected));
            QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
        }
    }

    void keysAndClicksReachHandlersOnlyAfterMainReturns() {
        frmTest* form = nullptr;
        const int status = TestSupport::RunScenario(testProgram, [&] {
            form = &DefaultInstance<frmTest>();
            auto& window = *TestSupport::TopLevel("frmTest");
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QTest::keyClick(window.windowHandle(), Qt::Key_Return);
            QTest::keyClick(window.windowHandle(), Qt::Key_Enter);
            QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
            QTest::mouseClick(&Child(window, "OkButton"), Qt::LeftButton);
            window.findChild<QAction*>("MenuGo")->trigger();
            QCOMPARE(form->okClicks, 3);
            QCOMPARE(form->cancelClicks, 1);
            QCOMPARE(form->menuClicks, 1);
        });
        QCOMPARE(status, int(ExitNormal));
    }

    void lifecycle() {
        QStringList trace;
        SetOperationTrace([&](std::string_view object, std::string_view operation) {
            trace << QString::fromLatin1(object.data(), qsizetype(object.size())) + " " +
                         QString::fromLatin1(operation.data(), qsizetype(operation.size()));
        });
        frmTest form;
        form.Load();
        QVERIFY(form.IsLoaded());
        QVERIFY(TestSupport::TopLevel("frmTest") == nullptr); // loaded, still hidden
        form.Show();
        QVERIFY(TestSupport::TopLevel("frmTest") != nullptr);
        form.Unload();
        QVERIFY(!form.IsLoaded());
        QVERIFY(TestSupport::TopLevel("frmTest") == nullptr);
        SetOperationTrace({});
        QCOMPARE(trace,
                 QStringList({"frmTest Create", "frmTest Load", "frmTest Show", "frmTest Unload"}));
        try {
            form.Wrapped.SetCaption(u"too late");
            QFAIL("setting a caption of an unloaded window succeeded");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Object(), std::string("frmTest.Wrapped"));
            QCOMPARE(error.Operation(), std::string("set Caption"));
        }
    }

    void defaultInstanceIsMadeOnce() {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, DefaultInstance<frmTest>()); // not started
        const int status = TestSupport::RunScenario(testProgram, [] {
            QCOMPARE(&DefaultInstance<frmTest>(), &DefaultInstance<frmTest>());
            const auto windows = QApplication::topLevelWidgets();
            QCOMPARE(std::count_if(windows.begin(), windows.end(),
                                   [](QWidget* w) { return w->objectName() == "frmTest"; }),
                     1);
        });
        QCOMPARE(status, int(ExitNormal));
    }
};

QTEST_MAIN(FormsTest)
#include "test_forms.moc"
