// Start-up on a real X display: the windows come and go in order, the splash is on the
// screen in full before the conversation window is built, and there is one conversation
// window, which the user can close without being asked anything.

#include "Pixels.h"
#include "Scenario.h"
#include "shell/Module1.h"
#include "shell/Program.h"

#include <QScreen>
#include <QtTest>

using namespace FormsRuntime;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void windowsComeAndGoInOrder() {
        QStringList trace;
        QImage splashOnScreen, splashRendered;
        SetOperationTrace([&](std::string_view object, std::string_view operation) {
            const QString step = QString::fromLatin1(object.data(), qsizetype(object.size())) +
                                 " " +
                                 QString::fromLatin1(operation.data(), qsizetype(operation.size()));
            trace << step;
            if (step != "frmMain Create")
                return;
            // What the screen shows now, without any event having been processed.
            QWidget* splash = TestSupport::TopLevel("frmSplash");
            QVERIFY(splash != nullptr);
            const QRect area(splash->mapToGlobal(QPoint(0, 0)), splash->size());
            splashOnScreen = QGuiApplication::primaryScreen()
                                 ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
            splashRendered = TestSupport::Render(*splash);
        });

        const int status = TestSupport::RunScenario(QuiblyProgram, [] {
            QVERIFY(TestSupport::TopLevel("frmSplash") == nullptr);
            QWidget* shown = TestSupport::TopLevel("frmMain");
            QVERIFY(shown != nullptr);
            const auto windows = QApplication::topLevelWidgets();
            QCOMPARE(std::count_if(windows.begin(), windows.end(),
                                   [](QWidget* w) { return w->objectName() == "frmMain"; }),
                     1);
            QVERIFY(Module1::mainWindow && Module1::mainWindow->IsLoaded());
            shown->close(); // as the window system's close box does
            QVERIFY(QApplication::activeModalWidget() == nullptr);
        });
        SetOperationTrace({});

        QCOMPARE(status, int(ExitNormal));
        QCOMPARE(trace, QStringList({"frmSplash Create", "frmSplash Load", "frmSplash Show",
                                     "frmSplash Refresh", "frmMain Create", "frmMain Load",
                                     "frmSplash Unload", "frmMain Show", "frmMain Unload"}));
        QVERIFY(!splashOnScreen.isNull());
        splashRendered.setDevicePixelRatio(1);
        QCOMPARE(splashOnScreen.size(), splashRendered.size());
        QVERIFY2(splashOnScreen == splashRendered, "the splash was not fully painted on screen");
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
