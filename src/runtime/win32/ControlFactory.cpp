#include "runtime/win32/ControlFactory.h"

#include "runtime/win32/Accessibility.h"

namespace FormsRuntime::win32 {

HWND CreateControlWindow(const ControlLayout& control, std::size_t index, HWND container,
                         void* frameOwner, const std::string& object) {
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
        window = CreateWindowExW(
            0, L"BUTTON", LiteralCaption(control.caption).c_str(),
            child | WS_TABSTOP |
                (control.keyFlag == KeyFlag::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
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

HMENU CreateMenuBar(const WindowLayout& layout) {
    if (layout.menus.empty())
        return nullptr;
    HMENU bar = CreateMenu();
    for (std::size_t top = 0; top < layout.menus.size(); ++top) {
        const MenuLayout& menu = layout.menus[top];
        if (!menu.parent.empty() || !menu.visible)
            continue;
        HMENU popup = CreatePopupMenu();
        bool hasItems = false;
        for (std::size_t item = 0; item < layout.menus.size(); ++item) {
            const MenuLayout& entry = layout.menus[item];
            if (entry.parent != menu.name || !entry.visible)
                continue;
            const UINT flags = MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED) |
                               (entry.checked ? MF_CHECKED : MF_UNCHECKED);
            AppendMenuW(popup, flags, FirstMenuId + item, LiteralCaption(entry.caption).c_str());
            hasItems = true;
        }
        const std::wstring caption = LiteralCaption(menu.caption);
        const UINT state = menu.enabled ? MF_ENABLED : MF_GRAYED;
        if (hasItems) {
            AppendMenuW(bar, MF_POPUP | state, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
        } else {
            DestroyMenu(popup);
            AppendMenuW(bar, MF_STRING | state, FirstMenuId + top, caption.c_str());
        }
    }
    return bar;
}

} // namespace FormsRuntime::win32
