#pragma once

#include "runtime/Text.h"

#include <QtGlobal>

namespace FormsRuntime {

// Qt ends the process with an abort, a core dump and advice to reinstall when its platform
// cannot open a display. While the application object is being made, this guard ends it
// through EndForNoDisplay instead. Other messages Qt writes meanwhile are held back and passed
// on once the platform has started.
class ExitUnlessPlatformStarts {
public:
    explicit ExitUnlessPlatformStarts(TextView programTitle);
    ~ExitUnlessPlatformStarts();
    ExitUnlessPlatformStarts(const ExitUnlessPlatformStarts&) = delete;
    ExitUnlessPlatformStarts& operator=(const ExitUnlessPlatformStarts&) = delete;

    // The platform is up: pass on what was held back and stop guarding.
    void Started();

private:
    QtMessageHandler previous_;
    bool guarding_ = true;
};

} // namespace FormsRuntime
