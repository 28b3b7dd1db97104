#pragma once

#include "runtime/Text.h"

#include <QtGlobal>
#include <string>

namespace FormsRuntime {

// Qt ends the process with an abort, a core dump and advice to reinstall when its platform
// cannot open a display. While the application object is being made, this guard turns that
// into one clear line on standard error and exit status 1. Other messages Qt writes meanwhile
// are held back and passed on once the platform has started.
class ExitUnlessPlatformStarts {
public:
    explicit ExitUnlessPlatformStarts(TextView programName);
    ~ExitUnlessPlatformStarts();
    ExitUnlessPlatformStarts(const ExitUnlessPlatformStarts&) = delete;
    ExitUnlessPlatformStarts& operator=(const ExitUnlessPlatformStarts&) = delete;

    // The platform is up: pass on what was held back and stop guarding.
    void Started();

private:
    QtMessageHandler previous_;
    bool guarding_ = true;
};

// The line written when no display can be reached, for the environment given.
std::string NoDisplayMessage(const std::string& programName, const char* display,
                             const char* waylandDisplay);

} // namespace FormsRuntime
