// The forms runtime on the Win32 API: user32 windows and the system's standard controls, gdi32
// painting and the Windows Imaging Component for pictures.

#include "runtime/Backend.h"
#include "runtime/Runtime.h"
#include "runtime/RuntimeError.h"
#include "runtime/win32/FormWindow.h"
#include "runtime/win32/MessageBoxes.h"
#include "runtime/win32/Pictures.h"
#include "runtime/win32/Win32.h"

namespace FormsRuntime {
namespace {

using namespace win32;

class Win32Backend final : public Backend {
public:
    int Start(const Program& program, int, char**, const std::function<int()>& run) override {
        // Without a desktop to put windows on there is no point going further.
        if (HWND probe = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr,
                                         nullptr, GetModuleHandleW(nullptr), nullptr))
            DestroyWindow(probe);
        else
            EndForNoDisplay(program.app.Title, "no desktop to show windows on");
        // The imaging component is a COM server of this thread.
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
            EndForNoDisplay(program.app.Title, "the system's components could not be started");
        // Windows without an icon of their own show the executable's. The window classes, and
        // so the icon, stay for the life of the process.
        if (!programIcon_)
            programIcon_ = LoadProgramIcon(GetSystemMetrics(SM_CXICON));
        FormWindow::RegisterClasses(programIcon_.get());
        return run();
    }

    void BeginRun(const Program&) override {}

    std::unique_ptr<BackendWindow> CreateFormWindow(FormEvents events) override {
        return std::make_unique<FormWindow>(events);
    }

    void RunLoop() override {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (FormWindow::HandleDialogKey(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    void Quit() override { PostQuitMessage(0); }

    void EndRun() override {}

    std::optional<MsgBoxResult> ShowMessageBox(const MessageBoxRequest& request) override {
        return ShowSystemMessageBox(request);
    }

    // The system's message box is read by screen readers as it opens.
    void ShowRunTimeError(TextView title, std::string_view message, TextView) override {
        ShowErrorBox(title, message);
    }

private:
    Icon programIcon_;
};

} // namespace

Backend& Platform() {
    static Win32Backend backend;
    return backend;
}

} // namespace FormsRuntime
