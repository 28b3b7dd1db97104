// The keys a dialog box answers, for a form window: Tab and Shift+Tab move the focus in the
// order of TabIndex, Return clicks the default button and Escape the cancel button, as the
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
    if (tabOrder_.empty())
        return;
    const HWND focused = GetFocus();
    std::size_t position = tabOrder_.size() - 1; // from none: the first (or, backwards, last)
    if (backwards)
        position = 0;
    for (std::size_t i = 0; i < tabOrder_.size(); ++i)
        if (controls_[tabOrder_[i]].window == focused)
            position = i;
    const std::size_t count = tabOrder_.size();
    const std::size_t next = backwards ? (position + count - 1) % count : (position + 1) % count;
    const HWND target = controls_[tabOrder_[next]].window;
    SetFocus(target);
    if (layout_.controls[tabOrder_[next]].kind == ControlKind::TextBox)
        SendMessageW(target, EM_SETSEL, 0, -1);
}

LRESULT FormWindow::DefaultButtonId() const {
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (layout_.controls[i].keyFlag == KeyFlag::Default)
            return MAKELRESULT(FirstControlId + i, DC_HASDEFID);
    return 0;
}

void FormWindow::ClickCancelButton() {
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (layout_.controls[i].keyFlag == KeyFlag::Cancel)
            return Click(i);
}

} // namespace FormsRuntime::win32
