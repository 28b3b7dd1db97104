// How a form window draws its controls: its containers paint their background, then the
// graphical controls (labels, images, lines) in paint order, then a frame's
// border and caption; an AutoSize label measures its caption; the system's text boxes take
// their colours.

#include "runtime/win32/FormWindow.h"

namespace FormsRuntime::win32 {

// The container's background, then its graphical controls in paint order, all into a bitmap
// first so that the screen never shows a half-painted state.
void FormWindow::Paint(HWND container, HDC dc) {
    RECT client{};
    GetClientRect(container, &client);
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    const HGDIOBJ previousBitmap = SelectObject(buffer, bitmap);

    const std::optional<std::size_t> frame = FrameOf(container);
    FillRect(buffer, &client, frame ? controls_[*frame].background.get() : background_.get());
    for (const std::size_t i : settled_.paintOrder)
        if (controls_[i].window == nullptr && settled_.controls[i].container == frame)
            PaintControl(buffer, i);
    if (frame)
        PaintFrameBorder(buffer, *frame, client);

    BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(buffer);
}

void FormWindow::PaintControl(HDC dc, std::size_t index) const {
    const SettledControl& settled = settled_.controls[index];
    const Control& control = controls_[index];
    RECT box = control.box;
    switch (settled.kind) {
    case ControlKind::Label: {
        FillRect(dc, &box, control.background.get());
        const HGDIOBJ previous = SelectObject(dc, control.font.get());
        SetTextColor(dc, ToColorRef(settled.fore));
        SetBkMode(dc, TRANSPARENT);
        // A fixed box wraps its caption at word boundaries and cuts what falls below it.
        DrawTextW(dc, Wide(control.caption), static_cast<int>(control.caption.size()), &box,
                  DT_NOPREFIX | AlignmentFlags(settled.alignment) |
                      (settled.autoSize ? 0 : DT_WORDBREAK));
        SelectObject(dc, previous);
        break;
    }
    case ControlKind::Image:
        if (control.picture) {
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
            PaintPicture(dc, *control.picture, box.left, box.top);
            RestoreDC(dc, saved);
        }
        break;
    case ControlKind::Line: {
        const COLORREF colour = ToColorRef(settled.fore);
        const PixelBox& line = settled.box;
        if (line.width == 1 || line.height == 1) {
            // An upright or level line fills its box: one pixel wide at any scale.
            const Brush fill(CreateSolidBrush(colour));
            FillRect(dc, &box, fill.get());
            break;
        }
        LOGBRUSH brush{BS_SOLID, colour, 0};
        const GdiObject<HPEN> pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE,
                                               static_cast<DWORD>(Scaled(1, dpi_)), &brush, 0,
                                               nullptr));
        const HGDIOBJ previous = SelectObject(dc, pen.get());
        const int left = line.x, right = line.x + line.width - 1;
        const int top = line.y, bottom = line.y + line.height - 1;
        MoveToEx(dc, Scaled(left, dpi_), Scaled(settled.falling ? top : bottom, dpi_), nullptr);
        LineTo(dc, Scaled(right, dpi_), Scaled(settled.falling ? bottom : top, dpi_));
        SelectObject(dc, previous);
        break;
    }
    case ControlKind::Frame:
    case ControlKind::TextBox:
    case ControlKind::CommandButton:
        break;
    }
}

// A frame with a caption: an etched rectangle from the middle of the caption down, and the
// caption on the frame's background over it. A frame too small for the rectangle shows none.
void FormWindow::PaintFrameBorder(HDC dc, std::size_t index, const RECT& client) const {
    const Control& frame = controls_[index];
    const TextView caption = settled_.controls[index].caption;
    if (caption.empty())
        return;
    const HGDIOBJ previous = SelectObject(dc, frame.font.get());
    const int length = static_cast<int>(caption.size());
    SIZE extent{};
    GetTextExtentPoint32W(dc, Wide(caption), length, &extent);
    RECT border{client.left, client.top + extent.cy / 2, client.right, client.bottom};
    if (border.right - border.left >= 2 && border.bottom - border.top >= 2)
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    RECT captionBox = BoxAt(Scaled(6, dpi_), 0, extent.cx + Scaled(4, dpi_), extent.cy);
    FillRect(dc, &captionBox, frame.background.get());
    SetTextColor(dc, ToColorRef(settled_.controls[index].fore));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, Wide(caption), length, &captionBox, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
}

// An AutoSize label takes the size of its caption in its font, keeping its left and top.
void FormWindow::PlaceLabel(std::size_t index) {
    Control& control = controls_[index];
    HDC dc = GetDC(window_);
    const HGDIOBJ previous = SelectObject(dc, control.font.get());
    RECT text{};
    DrawTextW(dc, Wide(control.caption), static_cast<int>(control.caption.size()), &text,
              DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(window_, dc);
    control.box.right = control.box.left + text.right;
    control.box.bottom = control.box.top + text.bottom;
}

HBRUSH FormWindow::ColorControl(HWND control, HDC dc) const {
    const auto index = IndexOf(control);
    if (!index)
        return nullptr;
    const SettledControl& settled = settled_.controls[*index];
    SetTextColor(dc, ToColorRef(settled.fore));
    SetBkColor(dc, ToColorRef(settled.back));
    return controls_[*index].background.get();
}

} // namespace FormsRuntime::win32
