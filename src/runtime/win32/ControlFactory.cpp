#include "runtime/win32/ControlFactory.h"

#include "runtime/win32/Accessibility.h"

namespace FormsRuntime::win32 {

HWND CreateControlWindow(const SettledWindow& settled, std::size_t index, HWND container,
                         void* frameOwner, const std::string& object) {
    const SettledControl& control = settled.controls[index];
    const auto id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FirstControlId + index));
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    HWND window = nullptr;
    switch (control.kind) {
    case ControlKind::TextBox: {
        const DWORD align = control.alignment == Alignment::Right    ? ES_RIGHT
                            : control.alignment == Alignment::Center ? ES_CENTER
                                                                     : ES_LEFT;
        window = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", WideString(control.caption).c_str(),
                                 child | WS_TABSTOP | ES_AUTOHSCROLL | align, 0, 0, 0, 0, container,
                                 id, module, nullptr);
        if (window != nullptr) { // MaxLength 0: as long as the user likes
            SendMessageW(window, EM_SETLIMITTEXT, 0, 0);
            NameForScreenReaders(window, control.accessibleName);
        }
        break;
    }
    case ControlKind::CommandButton:
        window =
            CreateWindowExW(0, L"BUTTON", LiteralCaption(control.caption).c_str(),
                            child | WS_TABSTOP |
                                (settled.defaultButton == index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                            0, 0, 0, 0, container, id, module, nullptr);
        break;
    case ControlKind::Frame:
        window =
            CreateWindowExW(0, FrameClass, WideString(control.caption).c_str(),
                            child | WS_CLIPCHILDREN, 0, 0, 0, 0, container, id, module, frameOwner);
        break;
    case ControlKind::Label:
    case ControlKind::Image:
    case ControlKind::Line:
        return nullptr;
    }
    if (window == nullptr)
        ThrowLastError(object, "create control");
    return window;
}

HMENU CreateMenuBar(const SettledWindow& settled) {
    if (settled.menus.empty())
        return nullptr;
    HMENU bar = CreateMenu();
    for (const std::size_t top : settled.menuBar) {
        const SettledMenu& menu = settled.menus[top];
        const std::wstring caption = LiteralCaption(menu.caption);
        const UINT state = menu.enabled ? MF_ENABLED : MF_GRAYED;
        if (menu.command) {
            AppendMenuW(bar, MF_STRING | state, FirstMenuId + top, caption.c_str());
            continue;
        }
        HMENU popup = CreatePopupMenu();
        for (const std::size_t item : menu.items) {
            const SettledMenu& entry = settled.menus[item];
            const UINT flags = MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED) |
                               (entry.checked ? MF_CHECKED : MF_UNCHECKED);
            AppendMenuW(popup, flags, FirstMenuId + item, LiteralCaption(entry.caption).c_str());
        }
        AppendMenuW(bar, MF_POPUP | state, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
    }
    return bar;
}

} // namespace FormsRuntime::win32
