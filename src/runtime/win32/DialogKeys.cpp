// The keys a dialog box answers, for a form window: Tab and Shift+Tab move the focus in the
// window's Tab order, Return clicks the default button and Escape the cancel button, as the
// system's dialog manager sends them.

#include "runtime/win32/FormWindow.h"

namespace FormsRuntime::win32 {

bool FormWindow::HandleDialogKey(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || message.hwnd == nullptr)
        return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    FormWindow* form = Of(root);
    if (form == nullptr)
        return false;
    if (message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 &&
        (message.message == WM_KEYDOWN || message.message == WM_CHAR)) {
        if (message.message == WM_KEYDOWN)
            form->MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    // Return and Escape: the system's dialog keys ask DM_GETDEFID and send IDCANCEL.
    return IsDialogMessageW(root, &message) != FALSE;
}

void FormWindow::MoveFocus(bool backwards) {
    const std::vector<std::size_t>& order = settled_.tabOrder;
    if (order.empty())
        return;
    const HWND focused = GetFocus();
    const std::size_t count = order.size();
    std::size_t position = backwards ? 0 : count - 1; // from none: the first (or, backwards, last)
    for (std::size_t i = 0; i < count; ++i)
        if (controls_[order[i]].window == focused)
            position = i;
    const std::size_t next = (position + (backwards ? count - 1 : 1)) % count;
    const HWND target = controls_[order[next]].window;
    SetFocus(target);
    if (settled_.controls[order[next]].kind == ControlKind::TextBox)
        SendMessageW(target, EM_SETSEL, 0, -1);
}

} // namespace FormsRuntime::win32
