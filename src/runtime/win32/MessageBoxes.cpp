#include "runtime/win32/MessageBoxes.h"

#include "runtime/win32/Win32.h"

#include <algorithm>

namespace FormsRuntime::win32 {
namespace {

// The system's button sets by the runtime's flag; its answer codes are the runtime's result
// codes.
UINT ButtonStyle(std::uint32_t buttonSet) {
    switch (buttonSet) {
    case MsgBoxStyle::OKCancel:
        return MB_OKCANCEL;
    case MsgBoxStyle::AbortRetryIgnore:
        return MB_ABORTRETRYIGNORE;
    case MsgBoxStyle::YesNoCancel:
        return MB_YESNOCANCEL;
    case MsgBoxStyle::YesNo:
        return MB_YESNO;
    case MsgBoxStyle::RetryCancel:
        return MB_RETRYCANCEL;
    default:
        return MB_OK;
    }
}

UINT IconStyle(MsgBoxIcon icon) {
    switch (icon) {
    case MsgBoxIcon::Critical:
        return MB_ICONHAND;
    case MsgBoxIcon::Question:
        return MB_ICONQUESTION;
    case MsgBoxIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    case MsgBoxIcon::Information:
        return MB_ICONASTERISK;
    case MsgBoxIcon::None:
        break;
    }
    return 0;
}

// The box being shown, for its help callback; boxes nest only through that callback.
const MessageBoxRequest* shownRequest = nullptr;

void CALLBACK OfferHelp(LPHELPINFO) {
    const MessageBoxRequest& request = *shownRequest;
    const std::wstring text = WideString(request.helpText);
    const std::wstring title = WideString(request.title);
    MessageBoxW(GetActiveWindow(), text.c_str(), title.c_str(), MB_OK | MB_ICONASTERISK);
}

} // namespace

std::optional<MsgBoxResult> ShowSystemMessageBox(const MessageBoxRequest& request) {
    const std::wstring prompt = WideString(request.prompt);
    const std::wstring title = WideString(request.title);
    const HWND owner = GetActiveWindow();
    MSGBOXPARAMSW box{};
    box.cbSize = sizeof box;
    box.hwndOwner = owner;
    box.lpszText = prompt.c_str();
    box.lpszCaption = title.c_str();
    box.dwStyle = ButtonStyle(request.buttonSet) | IconStyle(request.icon) |
                  static_cast<UINT>(request.defaultButton) * MB_DEFBUTTON2 |
                  (owner == nullptr ? MB_TASKMODAL : MB_APPLMODAL) |
                  (request.helpButton ? MB_HELP : 0) | (request.rightAligned ? MB_RIGHT : 0) |
                  (request.rightToLeft ? MB_RTLREADING : 0);
    box.dwContextHelpId = static_cast<DWORD_PTR>(request.helpContext);
    box.lpfnMsgBoxCallback = &OfferHelp;
    box.dwLanguageId = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

    const MessageBoxRequest* outer = shownRequest;
    shownRequest = &request;
    const int answer = MessageBoxIndirectW(&box);
    shownRequest = outer;
    if (answer == 0)
        ThrowLastError("MsgBox", "show");
    const auto result = static_cast<MsgBoxResult>(answer);
    if (std::find(request.buttons.begin(), request.buttons.end(), result) != request.buttons.end())
        return result;
    // Closed by Escape or the close box on a set without Cancel: the set's way out, if any.
    if (answer == IDCANCEL)
        return request.escape;
    return std::nullopt;
}

void ShowErrorBox(TextView title, std::string_view message) {
    const std::wstring text = WideFromUtf8(message);
    const std::wstring caption = WideString(title);
    MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(),
                MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

} // namespace FormsRuntime::win32
