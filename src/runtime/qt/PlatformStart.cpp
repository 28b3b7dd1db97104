#include "runtime/qt/PlatformStart.h"

#include "runtime/Backend.h"

#include <QString>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace FormsRuntime {
namespace {

struct HeldMessage {
    QtMsgType type;
    QString text;
};

// Why no display can be reached, for the environment given.
std::string NoDisplayReason(const char* display, const char* waylandDisplay) {
    const bool named = (display != nullptr && *display != '\0') ||
                       (waylandDisplay != nullptr && *waylandDisplay != '\0');
    if (!named)
        return "no display is set (DISPLAY is empty); start it from a desktop session";
    return std::string("the display \"") +
           (display != nullptr && *display != '\0' ? display : waylandDisplay) +
           "\" cannot be reached";
}

Text guardedProgram;
std::vector<HeldMessage> heldMessages;

void HoldOrRefuse(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, text});
        return;
    }
    EndForNoDisplay(guardedProgram,
                    NoDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")));
}

} // namespace

ExitUnlessPlatformStarts::ExitUnlessPlatformStarts(TextView programTitle) {
    guardedProgram = programTitle;
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
