#include "runtime/win32/MessageBoxes.h"

#include "runtime/win32/Win32.h"

#include <algorithm>

namespace FormsRuntime::win32 {
namespace {

// The runtime's button sets and icons are numbered as the system's styles; its answer codes are
// the runtime's result codes.
static_assert(MsgBoxStyle::OKCancel == MB_OKCANCEL &&
              MsgBoxStyle::AbortRetryIgnore == MB_ABORTRETRYIGNORE &&
              MsgBoxStyle::YesNoCancel == MB_YESNOCANCEL && MsgBoxStyle::YesNo == MB_YESNO &&
              MsgBoxStyle::RetryCancel == MB_RETRYCANCEL);
constexpr UINT IconStyle(MsgBoxIcon icon) {
    return static_cast<UINT>(icon) * MB_ICONHAND;
}
static_assert(IconStyle(MsgBoxIcon::None) == 0 && IconStyle(MsgBoxIcon::Critical) == MB_ICONHAND &&
              IconStyle(MsgBoxIcon::Question) == MB_ICONQUESTION &&
              IconStyle(MsgBoxIcon::Exclamation) == MB_ICONEXCLAMATION &&
              IconStyle(MsgBoxIcon::Information) == MB_ICONASTERISK);

// The box being shown, for its help callback; boxes nest only through that callback.
const MessageBoxRequest* shownRequest = nullptr;

void CALLBACK OfferHelp(LPHELPINFO) {
    const MessageBoxRequest& request = *shownRequest;
    MessageBoxW(GetActiveWindow(), WideString(request.helpText).c_str(),
                WideString(request.title).c_str(), MB_OK | MB_ICONASTERISK);
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
    box.dwStyle = static_cast<UINT>(request.buttonSet) | IconStyle(request.icon) |
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
    MessageBoxW(GetActiveWindow(), WideFromUtf8(message).c_str(), WideString(title).c_str(),
                MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

} // namespace FormsRuntime::win32
