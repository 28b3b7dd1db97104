#include "shell/Module1.h"

#include "runtime/Runtime.h"
#include "splash/frmSplash.h"

using FormsRuntime::DefaultInstance;

namespace Module1 {

std::unique_ptr<frmMain> mainWindow;

void Main() {
    DefaultInstance<frmSplash>().Show();
    // Paint the splash completely now: building the conversation window keeps the message
    // loop from painting until it is done.
    DefaultInstance<frmSplash>().Refresh();
    mainWindow = std::make_unique<frmMain>();
    mainWindow->Load();
    DefaultInstance<frmSplash>().Unload();
    mainWindow->Show();
}

} // namespace Module1
