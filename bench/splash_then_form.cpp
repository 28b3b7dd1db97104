// What the start-up order itself costs, with nothing of Quibly's own: a bare frameless splash
// window at the splash's size is shown and painted until it is on the screen, then the bare
// form is built, the splash closed and the form shown. Leaves as soon as the form's first frame
// is on the screen.

#include "BaselineForm.h"
#include "OnScreen.h"

#include <QApplication>
#include <QEventLoop>
#include <QWidget>
#include <QWindow>

namespace {

// Until the window system has exposed the window; only its own events run meanwhile.
void WaitUntilExposed(QWidget& window) {
    QWindow& handle = *window.windowHandle();
    while (!handle.isExposed())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

} // namespace

int main(int, char** argv) {
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    {
        QWidget splash(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
        splash.setObjectName(QStringLiteral("Splash"));
        splash.setAutoFillBackground(true);
        splash.setFixedSize(343, 183);
        splash.show();
        WaitUntilExposed(splash);
        splash.repaint();
        Bench::WaitUntilOnScreen(splash);
        Bench::MarkPhase("splash");

        auto* form = new Bench::BaselineForm;
        Bench::ExitOnceFirstFrameOnScreen(*form, "quibly_bench_splash_then_form");
        splash.close();
        form->show();
    }
    return QApplication::exec();
}
