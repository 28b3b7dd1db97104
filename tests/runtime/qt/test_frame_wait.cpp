// The wait for a window's frame on Wayland, as the splash uses it: shown, drawn, waited for and
// hidden at once, round after round. Qt 6.4 aborts the process when a window is hidden while
// its own frame callback is being taken, which this wait must have settled first.

#include "runtime/qt/Presentation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

bool ExposedWithin(QWindow& window, int milliseconds) {
    QElapsedTimer shown;
    shown.start();
    while (!window.isExposed() && shown.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return window.isExposed();
}

TEST(FrameWait, WindowsHiddenRightAfterTheirFrameKeepTheProgramRunning) {
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        GTEST_SKIP() << "the race lies in Qt's Wayland platform; this runs on "
                     << QGuiApplication::platformName().toStdString();
    constexpr int rounds = 200;
    for (int round = 0; round < rounds; ++round) {
        QLabel window(QStringLiteral("Round %1").arg(round));
        window.resize(240, 120);
        window.show();
        ASSERT_TRUE(ExposedWithin(*window.windowHandle(), 5000)) << "round " << round;
        window.repaint();
        FormsRuntime::WaitUntilOnScreen(*window.windowHandle());
        window.hide();
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
