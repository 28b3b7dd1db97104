#include "shell/Program.h"

#include "shell/AppIdentity.h"
#include "shell/Module1.h"

const FormsRuntime::Program QuiblyProgram{.app = QuiblyIdentity,
                                          .main = &Module1::Main,
                                          .desktopId = QuiblyDesktopId,
                                          .icon = ":/assets/Quibly.ico"};
