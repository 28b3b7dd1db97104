#include "runtime/qt/PlatformStart.h"

#include "runtime/Runtime.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace FormsRuntime {
namespace {

struct HeldMessage {
    QtMsgType type;
    QString text;
};

std::string guardedProgram;
std::vector<HeldMessage> heldMessages;

void HoldOrRefuse(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, text});
        return;
    }
    const std::string line =
        NoDisplayMessage(guardedProgram, std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(ExitNoDisplay);
}

} // namespace

std::string NoDisplayMessage(const std::string& programName, const char* display,
                             const char* waylandDisplay) {
    const bool named = (display != nullptr && *display != '\0') ||
                       (waylandDisplay != nullptr && *waylandDisplay != '\0');
    std::string line = programName + ": cannot open its window: ";
    if (!named)
        line += "no display is set (DISPLAY is empty); start it from a desktop session";
    else
        line += std::string("the display \"") +
                (display != nullptr && *display != '\0' ? display : waylandDisplay) +
                "\" cannot be reached";
    return line + "\n";
}

ExitUnlessPlatformStarts::ExitUnlessPlatformStarts(TextView programName) {
    guardedProgram = ToDisplayAscii(programName);
    heldMessages.clear();
    previous_ = qInstallMessageHandler(HoldOrRefuse);
}

ExitUnlessPlatformStarts::~ExitUnlessPlatformStarts() {
    Started();
}

void ExitUnlessPlatformStarts::Started() {
    if (!guarding_)
        return;
    guarding_ = false;
    qInstallMessageHandler(previous_);
    for (const auto& [type, text] : std::exchange(heldMessages, {}))
        previous_(type, QMessageLogContext(), text);
}

} // namespace FormsRuntime
