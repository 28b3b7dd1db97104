#pragma once

#include "runtime/Runtime.h"

#include <QString>
#include <functional>

class QWidget;

namespace TestSupport {

// Runs the program through the runtime as the entry point would: Main, then the message
// loop. `scenario` runs once the loop is up; windows it leaves loaded are then closed, so
// the call returns the program's exit status.
int RunScenario(const FormsRuntime::Program& program, const std::function<void()>& scenario);

// What a modal message box showed before it was answered.
struct AnsweredBox {
    QString objectName;
    QString title;
    QString text;
    bool answered = false;
};

// Arranges for the next modal message box to be answered by `answer` (for example a click on
// one of its buttons, or a key press) as soon as it is up.
void AnswerNextMessageBox(AnsweredBox& seen, const std::function<void(QWidget& box)>& answer);

// The offscreen platform warns on every resize that it keeps no size hints; a long run of
// resizes would bury the test's own messages under that line.
void QuietOffscreenSizeHintWarnings();

// A loaded top-level window of the program by its class name, or nullptr.
QWidget* TopLevel(const QString& name);

} // namespace TestSupport
