#pragma once

#include "runtime/Backend.h"
#include "runtime/win32/Accessibility.h"
#include "runtime/win32/Pictures.h"
#include "runtime/win32/Win32.h"

#include <optional>
#include <vector>

namespace FormsRuntime::win32 {

// A loaded window: a top-level window with its menu bar; text boxes and command buttons as
// EDIT and BUTTON children; frames as child windows of our own that contain further controls;
// labels, images and lines painted by their container, in paint order. Geometry,
// fonts and pictures follow the window's dots per inch, and follow it again when it moves to
// a screen with another.
class FormWindow final : public BackendWindow {
public:
    explicit FormWindow(FormEvents events);
    ~FormWindow() override;

    void Show() override;
    void Refresh() override;
    Text ControlText(std::size_t control) const override;
    void SetControlText(std::size_t control, TextView text) override;
    void AnnounceCaption(std::size_t control, TextView caption) override {
        accessibility_.Announce(control, caption);
    }

    // The keys that move the focus and press buttons, for the message loop: Tab and Shift+Tab
    // in the window's Tab order, Return for the default button, Escape for the cancel button.
    // True when the message was such a key for one of our windows and has been handled.
    static bool HandleDialogKey(MSG& message);

    // Registers the window classes of forms and frames, once; windows without an icon of their
    // own show `programIcon`.
    static void RegisterClasses(HICON programIcon);

    // For tools that inspect a running program, such as the test driver: the form window
    // behind one of our top-level windows (null for any other window), what it was built from,
    // and where each control lies (device pixels in the window's client area) and in which font.
    static FormWindow* Of(HWND window);
    const SettledWindow& Settled() const { return settled_; }
    HWND Handle() const { return window_; }
    UINT Dpi() const { return dpi_; }
    HWND ControlWindow(std::size_t control) const { return controls_[control].window; }
    // The window `control` lies in: its frame's, or the top-level window.
    HWND ContainerOf(std::size_t control) const;
    // The frame whose window `container` is; none for the top-level window.
    std::optional<std::size_t> FrameOf(HWND container) const;
    RECT ControlBox(std::size_t control) const;
    HFONT ControlFont(std::size_t control) const { return controls_[control].font.get(); }
    // The menu item's identifier in WM_COMMAND; none for a menu with items of its own.
    static WORD MenuId(std::size_t menu);

private:
    struct Control {
        HWND window = nullptr; // windowed controls only
        RECT box{};            // device pixels in the container's client area
        Font font;
        Brush background; // text boxes: what WM_CTLCOLOREDIT hands the system
        Text caption;     // labels
        std::optional<Picture> picture;
    };

    // The window procedure and lifecycle (FormWindow.cpp).
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateTopLevel(); // with its menu bar
    // Geometry, fonts, pictures and window size for `dpi`.
    void ApplyDpi(UINT dpi);
    std::optional<std::size_t> IndexOf(HWND window) const;

    // Drawing (ControlWidgets.cpp).
    void PlaceLabel(std::size_t index);
    void Paint(HWND container, HDC dc);
    void PaintControl(HDC dc, std::size_t index) const;
    void PaintFrameBorder(HDC dc, std::size_t index, const RECT& client) const;
    // A text box's colours for WM_CTLCOLOREDIT: its background brush; null for other windows.
    HBRUSH ColorControl(HWND control, HDC dc) const;

    // Tab and Shift+Tab (DialogKeys.cpp).
    void MoveFocus(bool backwards);

    FormEvents events_;
    const SettledWindow& settled_;
    UINT dpi_ = 96;
    HWND window_ = nullptr;
    HMENU menuBar_ = nullptr;
    std::vector<Control> controls_;
    HWND focus_ = nullptr; // the control that had the focus when the window was deactivated
    Brush background_;
    Icon bigIcon_;
    Icon smallIcon_;
    Accessibility accessibility_{*this}; // last: it lets go of the window before the rest goes
};

} // namespace FormsRuntime::win32
