#include "runtime/qt/PlatformStart.h"

#include "runtime/Backend.h"

#include <QString>
#include <algorithm>
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

// Qt's word that it has no platform plugin for Wayland; it then tries X11.
bool TellsWaylandPluginMissing(const QString& text) {
    return text.contains(QLatin1String("Could not find the Qt platform plugin \"wayland"));
}

// Why no display can be reached, for the environment given.
std::string NoDisplayReason(const char* display, const char* waylandDisplay,
                            bool waylandPluginMissing) {
    const bool x11 = display != nullptr && *display != '\0';
    const bool wayland = waylandDisplay != nullptr && *waylandDisplay != '\0';
    if (wayland && !x11 && waylandPluginMissing)
        return "Qt's Wayland platform plugin is not installed (Debian package qt6-wayland) and "
               "no X display is set";
    if (!x11 && !wayland)
        return "no display is set (DISPLAY is empty); start it from a desktop session";
    return std::string("the display \"") + (x11 ? display : waylandDisplay) +
           "\" cannot be reached";
}

Text guardedProgram;
std::vector<HeldMessage> heldMessages;

void HoldOrRefuse(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, text});
        return;
    }
    const bool waylandPluginMissing =
        std::any_of(heldMessages.begin(), heldMessages.end(),
                    [](const HeldMessage& held) { return TellsWaylandPluginMissing(held.text); });
    EndForNoDisplay(guardedProgram,
                    NoDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                    waylandPluginMissing));
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
    // Where Wayland's plugin is missing but X11 came up, the program runs as on X11 and has
    // nothing to warn of.
    for (const auto& [type, text] : std::exchange(heldMessages, {}))
        if (!TellsWaylandPluginMissing(text))
            previous_(type, QMessageLogContext(), text);
}

} // namespace FormsRuntime
