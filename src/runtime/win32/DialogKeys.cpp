// The keys a dialog box answers, for a form window: Tab and Shift+Tab move the focus in the
// window's Tab order, Return clicks the default button and Escape the cancel button, as the
// system's dialog manager sends them.

#include "runtime/win32/ControlFactory.h"
#include "runtime/win32/FormWindow.h"

namespace FormsRuntime::win32 {

bool FormWindow::HandleDialogKey(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || message.hwnd == nullptr)
        return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    FormWindow* form = FormOf(root);
    if (form == nullptr)
        return false;
    if (form->HandleKey(message))
        return true;
    // Return and Escape: the system's dialog keys ask DM_GETDEFID and send IDCANCEL.
    return IsDialogMessageW(root, &message) != FALSE;
}

bool FormWindow::HandleKey(const MSG& message) {
    if (message.wParam != VK_TAB || (GetKeyState(VK_CONTROL) < 0) || (GetKeyState(VK_MENU) < 0))
        return false;
    if (message.message == WM_KEYDOWN)
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
    return message.message == WM_KEYDOWN || message.message == WM_CHAR;
}

void FormWindow::MoveFocus(bool backwards) {
    const std::vector<std::size_t>& order = settled_.tabOrder;
    if (order.empty())
        return;
    const HWND focused = GetFocus();
    std::size_t position = order.size() - 1; // from none: the first (or, backwards, last)
    if (backwards)
        position = 0;
    for (std::size_t i = 0; i < order.size(); ++i)
        if (controls_[order[i]].window == focused)
            position = i;
    const std::size_t count = order.size();
    const std::size_t next = backwards ? (position + count - 1) % count : (position + 1) % count;
    const HWND target = controls_[order[next]].window;
    SetFocus(target);
    if (settled_.controls[order[next]].kind == ControlKind::TextBox)
        SendMessageW(target, EM_SETSEL, 0, -1);
}

LRESULT FormWindow::DefaultButtonId() const {
    if (!settled_.defaultButton)
        return 0;
    return MAKELRESULT(FirstControlId + *settled_.defaultButton, DC_HASDEFID);
}

void FormWindow::ClickCancelButton() {
    if (settled_.cancelButton)
        Click(*settled_.cancelButton);
}

} // namespace FormsRuntime::win32
