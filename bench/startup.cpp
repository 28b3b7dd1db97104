// Quibly as shipped, started by the runtime with its real Main, leaving as soon as the
// conversation window's first frame is on the screen.

#include "OnScreen.h"
#include "shell/Program.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

QWidget& ShownConversationWindow() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QStringLiteral("frmMain"))
            return *window;
    std::fputs("quibly_bench_startup: frmMain Show: no top-level window frmMain exists\n", stderr);
    std::exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char** argv) {
    FormsRuntime::SetOperationTrace([](std::string_view object, std::string_view operation) {
        // The conversation window is created once the splash is completely on the screen.
        if (object == "frmMain" && operation == "Create")
            Bench::MarkPhase("splash");
        if (object == "frmMain" && operation == "Show")
            Bench::ExitOnceFirstFrameOnScreen(ShownConversationWindow(), "quibly_bench_startup");
    });
    return FormsRuntime::Start(argc, argv, QuiblyProgram);
}
