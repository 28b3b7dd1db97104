#include "runtime/win32/ControlFactory.h"

#include "runtime/win32/Accessibility.h"

namespace FormsRuntime::win32 {

HWND CreateControlWindow(const SettledWindow& settled, std::size_t index, HWND container,
                         void* frameOwner, const std::string& object) {
    const SettledControl& control = settled.controls[index];
    const auto create = [&](DWORD extended, const wchar_t* windowClass, const std::wstring& text,
                            DWORD style, void* parameter) {
        const auto id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FirstControlId + index));
        HWND window = CreateWindowExW(extended, windowClass, text.c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                                      container, id, GetModuleHandleW(nullptr), parameter);
        if (window == nullptr)
            ThrowLastError(object, "create control");
        return window;
    };
    switch (control.kind) {
    case ControlKind::TextBox: {
        const HWND edit =
            create(WS_EX_CLIENTEDGE, L"EDIT", WideString(control.caption),
                   WS_TABSTOP | ES_AUTOHSCROLL | AlignmentFlags(control.alignment), nullptr);
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0); // MaxLength 0: as long as the user likes
        NameForScreenReaders(edit, control.accessibleName);
        return edit;
    }
    case ControlKind::CommandButton:
        return create(0, L"BUTTON", LiteralCaption(control.caption),
                      WS_TABSTOP |
                          (settled.defaultButton == index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                      nullptr);
    case ControlKind::Frame:
        return create(0, FrameClass, WideString(control.caption), WS_CLIPCHILDREN, frameOwner);
    case ControlKind::Label:
    case ControlKind::Image:
    case ControlKind::Line:
        break;
    }
    return nullptr;
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
