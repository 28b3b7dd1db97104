#include "runtime/win32/Appearance.h"

namespace FormsRuntime::win32 {

Font ResolveFont(const SettledFont& font, UINT dpi) {
    const std::wstring family = WideFromUtf8(font.family);
    return Font(CreateFontW(-Scaled(font.pixels, dpi), 0, 0, 0, font.weight, font.italic,
                            font.underline, font.strikethrough, static_cast<DWORD>(font.charset),
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, family.c_str()));
}

// A line covers the pixels from one end to the other, so its edges scale; a control keeps its
// scaled size wherever its corner falls.
RECT ScaledBox(const SettledControl& control, UINT dpi) {
    const PixelBox& box = control.box;
    if (control.kind == ControlKind::Line)
        return {Scaled(box.x, dpi), Scaled(box.y, dpi), Scaled(box.x + box.width, dpi),
                Scaled(box.y + box.height, dpi)};
    return BoxAt(Scaled(box.x, dpi), Scaled(box.y, dpi), Scaled(box.width, dpi),
                 Scaled(box.height, dpi));
}

WindowStyle StyleOf(const SettledFrame& frame) {
    DWORD style = WS_CLIPCHILDREN | (frame.sizable ? WS_THICKFRAME : 0);
    DWORD extended = frame.sizable ? 0 : WS_EX_DLGMODALFRAME;
    if (frame.titleBar)
        style |= WS_OVERLAPPED | WS_CAPTION | (frame.systemMenu ? WS_SYSMENU : 0) |
                 (frame.minimizeButton ? WS_MINIMIZEBOX : 0) |
                 (frame.maximizeButton ? WS_MAXIMIZEBOX : 0);
    else
        style |= WS_POPUP | (frame.sizable ? 0 : WS_DLGFRAME);
    if (!frame.inTaskbar)
        extended |= WS_EX_TOOLWINDOW;
    return {style, extended};
}

void PlaceOnScreen(HWND window, const SettledWindow& settled, UINT dpi, bool menuBar) {
    const WindowStyle style = StyleOf(settled.frame);
    const PixelBox& client = settled.client;
    RECT frame = BoxAt(0, 0, Scaled(client.width, dpi), Scaled(client.height, dpi));
    AdjustWindowRectExForDpi(&frame, style.style, menuBar, style.extended, dpi);
    int x = 0;
    int y = 0;
    UINT placement = SWP_NOZORDER | SWP_NOACTIVATE;
    switch (settled.placement) {
    case Placement::Manual:
        x = Scaled(client.x, dpi) + frame.left;
        y = Scaled(client.y, dpi) + frame.top;
        break;
    case Placement::CenterScreen: {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        x = work.left + (work.right - work.left - (frame.right - frame.left)) / 2;
        y = work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2;
        break;
    }
    case Placement::SystemDefault:
        placement |= SWP_NOMOVE;
        break;
    }
    SetWindowPos(window, nullptr, x, y, frame.right - frame.left, frame.bottom - frame.top,
                 placement);
}

} // namespace FormsRuntime::win32
