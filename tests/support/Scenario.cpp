#include "Scenario.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace TestSupport {

namespace {

// Main runs local event loops of its own (a refresh waits for the window system), so the
// scenario is posted only once Main has returned.
const FormsRuntime::Program* runningProgram = nullptr;
const std::function<void()>* pendingScenario = nullptr;

void MainThenScenario() {
    runningProgram->main();
    QTimer::singleShot(0, qApp, [] {
        (*pendingScenario)();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                window->close();
    });
}

} // namespace

int RunScenario(const FormsRuntime::Program& program, const std::function<void()>& scenario) {
    runningProgram = &program;
    pendingScenario = &scenario;
    FormsRuntime::Program wrapped = program;
    wrapped.main = &MainThenScenario;
    return FormsRuntime::Run(wrapped);
}

void AnswerNextMessageBox(AnsweredBox& seen, const std::function<void(QWidget& box)>& answer) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, &seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        seen = {box->objectName(), box->windowTitle(), box->text(), true};
        answer(*box);
    });
    poll->start(5);
}

void QuietOffscreenSizeHintWarnings() {
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QLatin1String("does not support propagateSizeHints")))
                previous(type, context, message);
        });
}

QWidget* TopLevel(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            return window;
    return nullptr;
}

} // namespace TestSupport
