#include "runtime/win32/Appearance.h"

#include <algorithm>

namespace FormsRuntime::win32 {

Font ResolveFont(const FontSpec& spec, UINT dpi) {
    const std::wstring face = WideFromUtf8(spec.face);
    return Font(CreateFontW(-Scaled(FontPixelHeight(spec), dpi), 0, 0, 0, spec.weight, spec.italic,
                            spec.underline, spec.strikethrough, static_cast<DWORD>(spec.charset),
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

RECT ScaledBox(const ControlLayout& control, UINT dpi) {
    if (control.kind != ControlKind::Line)
        return BoxAt(ScaledTwips(control.left, dpi), ScaledTwips(control.top, dpi),
                     ScaledTwips(control.width, dpi), ScaledTwips(control.height, dpi));
    const Segment& line = control.segment;
    const int x1 = PixelsFromTwips(std::min(line.x1, line.x2));
    const int y1 = PixelsFromTwips(std::min(line.y1, line.y2));
    const int x2 = PixelsFromTwips(std::max(line.x1, line.x2)) + 1;
    const int y2 = PixelsFromTwips(std::max(line.y1, line.y2)) + 1;
    return {Scaled(x1, dpi), Scaled(y1, dpi), Scaled(x2, dpi), Scaled(y2, dpi)};
}

WindowStyle StyleOf(const WindowLayout& layout) {
    const bool sizable = layout.border == BorderStyle::Sizable;
    DWORD style = WS_CLIPCHILDREN | (sizable ? WS_THICKFRAME : 0);
    DWORD extended = sizable ? 0 : WS_EX_DLGMODALFRAME;
    const bool titleBar =
        !layout.caption.empty() || layout.controlBox || layout.minButton || layout.maxButton;
    if (titleBar) {
        style |= WS_OVERLAPPED | WS_CAPTION;
        if (layout.controlBox)
            style |= WS_SYSMENU | (layout.minButton ? WS_MINIMIZEBOX : 0) |
                     (layout.maxButton ? WS_MAXIMIZEBOX : 0);
    } else {
        style |= WS_POPUP | (sizable ? 0 : WS_DLGFRAME);
    }
    if (!layout.showInTaskbar)
        extended |= WS_EX_TOOLWINDOW;
    return {style, extended};
}

void PlaceOnScreen(HWND window, const WindowLayout& layout, UINT dpi, bool menuBar) {
    const WindowStyle style = StyleOf(layout);
    RECT frame =
        BoxAt(0, 0, ScaledTwips(layout.clientWidth, dpi), ScaledTwips(layout.clientHeight, dpi));
    AdjustWindowRectExForDpi(&frame, style.style, menuBar, style.extended, dpi);
    int x = 0;
    int y = 0;
    UINT placement = SWP_NOZORDER | SWP_NOACTIVATE;
    switch (layout.startUpPosition) {
    case StartUpPosition::Manual:
        x = ScaledTwips(layout.clientLeft, dpi) + frame.left;
        y = ScaledTwips(layout.clientTop, dpi) + frame.top;
        break;
    case StartUpPosition::CenterScreen: {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        x = work.left + (work.right - work.left - (frame.right - frame.left)) / 2;
        y = work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2;
        break;
    }
    case StartUpPosition::WindowsDefault:
        placement |= SWP_NOMOVE;
        break;
    }
    SetWindowPos(window, nullptr, x, y, frame.right - frame.left, frame.bottom - frame.top,
                 placement);
}

} // namespace FormsRuntime::win32
