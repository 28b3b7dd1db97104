// The bare Qt form on its own: leaves as soon as its first frame is on the screen, or with
// --stay keeps running for the idle measurement.

#include "BaselineForm.h"
#include "OnScreen.h"

#include <QApplication>
#include <string_view>

int main(int argc, char** argv) {
    const bool stay = argc > 1 && std::string_view(argv[1]) == "--stay";
    // Qt sees the program's name only, as Quibly's runtime arranges for Quibly.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    Bench::BaselineForm form;
    if (!stay)
        Bench::ExitOnceFirstFrameOnScreen(form, "quibly_bench_baseline");
    form.show();
    return QApplication::exec();
}
