// A form window's lifecycle and window procedure: the window classes, the top-level window with
// its menu bar and child windows, captions and texts, the window's dots per inch, and the
// messages it answers. Painting is in ControlWidgets.cpp, the dialog keys in DialogKeys.cpp,
// what screen readers find in Accessibility.cpp.

#include "runtime/win32/FormWindow.h"

#include "runtime/win32/Appearance.h"
#include "runtime/win32/ControlFactory.h"

namespace FormsRuntime::win32 {
namespace {

constexpr wchar_t FormClass[] = L"FormsRuntime.Form";
ATOM formAtom = 0;

// The index behind a child-window or menu-item identifier counted from `first`; none outside
// the `count` there are.
std::optional<std::size_t> IndexOfId(WORD id, WORD first, std::size_t count) {
    if (id < first || std::size_t{id} - first >= count)
        return std::nullopt;
    return std::size_t{id} - first;
}

} // namespace

void FormWindow::RegisterClasses(HICON programIcon) {
    if (formAtom != 0)
        return; // a later run in the same process
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = &FormWindow::Procedure;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    form.lpszClassName = FormClass;
    form.hIcon = programIcon;
    formAtom = RegisterClassExW(&form);
    WNDCLASSEXW frame = form;
    frame.hIcon = nullptr;
    frame.lpszClassName = FrameClass;
    if (formAtom == 0 || RegisterClassExW(&frame) == 0)
        ThrowLastError("App", "register window classes");
}

FormWindow::FormWindow(FormEvents events)
    : events_(events), settled_(events.Window()), dpi_(GetDpiForSystem()),
      controls_(settled_.controls.size()) {
    try {
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (settled_.controls[i].kind == ControlKind::Label)
                controls_[i].caption = Text(settled_.controls[i].caption);
        CreateTopLevel();
        // Each child window goes above those made before it; a frame exists before what it
        // holds.
        for (const std::size_t i : settled_.paintOrder) {
            controls_[i].window = CreateControlWindow(
                settled_, i, ContainerOf(i), this, events_.ObjectName(settled_.controls[i].name));
            if (controls_[i].window != nullptr)
                SetWindowPos(controls_[i].window, HWND_TOP, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        ApplyDpi(dpi_);
        accessibility_.MarkLiveRegions();
    } catch (...) {
        if (window_ != nullptr)
            DestroyWindow(window_);
        throw;
    }
}

FormWindow::~FormWindow() {
    // The window may go inside one of its own events: from here on its messages reach the
    // system's default handling only.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    accessibility_.Withdraw();
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (settled_.controls[i].kind == ControlKind::Frame)
            SetWindowLongPtrW(controls_[i].window, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void FormWindow::CreateTopLevel() {
    const WindowStyle style = StyleOf(settled_.frame);
    window_ = CreateWindowExW(style.extended, FormClass, WideString(settled_.caption).c_str(),
                              style.style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        ThrowLastError(events_.ObjectName(), "create window");
    menuBar_ = CreateMenuBar(settled_);
    if (menuBar_ != nullptr && !SetMenu(window_, menuBar_))
        ThrowLastError(events_.ObjectName(), "create menu bar");
}

HWND FormWindow::ContainerOf(std::size_t control) const {
    const auto container = settled_.controls[control].container;
    return container ? controls_[*container].window : window_;
}

std::optional<std::size_t> FormWindow::FrameOf(HWND container) const {
    return container == window_ ? std::nullopt : IndexOf(container);
}

void FormWindow::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    background_.reset(CreateSolidBrush(ToColorRef(settled_.back)));
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const SettledControl& settled = settled_.controls[i];
        Control& control = controls_[i];
        control.box = ScaledBox(settled, dpi);
        if (settled.kind == ControlKind::Line)
            continue;
        control.font = ResolveFont(settled.font, dpi);
        control.background.reset(CreateSolidBrush(ToColorRef(settled.back)));
        if (!settled.picture.empty())
            control.picture = LoadPicture(settled.picture, dpi, events_.ObjectName(settled.name));
        if (settled.kind == ControlKind::Label && settled.autoSize)
            PlaceLabel(i);
        if (control.window != nullptr) {
            const RECT& box = control.box;
            SetWindowPos(control.window, nullptr, box.left, box.top, box.right - box.left,
                         box.bottom - box.top, SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font.get()),
                         FALSE);
        }
    }
    PlaceOnScreen(window_, settled_, dpi, menuBar_ != nullptr);

    if (!settled_.icon.empty()) {
        const std::string object = events_.ObjectName();
        bigIcon_ = LoadIconPicture(settled_.icon, GetSystemMetricsForDpi(SM_CXICON, dpi), object);
        smallIcon_ =
            LoadIconPicture(settled_.icon, GetSystemMetricsForDpi(SM_CXSMICON, dpi), object);
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    }
    InvalidateRect(window_, nullptr, TRUE);
}

void FormWindow::Show() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
    if (focus_ == nullptr && !settled_.tabOrder.empty())
        focus_ = controls_[settled_.tabOrder.front()].window;
    if (focus_ != nullptr)
        SetFocus(focus_);
}

void FormWindow::Refresh() {
    if (!IsWindowVisible(window_))
        return;
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    // Looking at the queue, without taking anything from it, lets the window system bring what
    // was painted onto the screen.
    MSG none;
    PeekMessageW(&none, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD);
}

Text FormWindow::ControlText(std::size_t control) const {
    const Control& entry = controls_[control];
    if (entry.window == nullptr)
        return entry.caption;
    const int length = GetWindowTextLengthW(entry.window);
    Text text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied =
        GetWindowTextW(entry.window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void FormWindow::SetControlText(std::size_t control, TextView text) {
    Control& entry = controls_[control];
    const SettledControl& settled = settled_.controls[control];
    if (entry.window != nullptr) {
        if (!SetWindowTextW(entry.window, WideString(text).c_str()))
            ThrowLastError(events_.ObjectName(settled.name), "set text");
        return;
    }
    const HWND container = ContainerOf(control);
    InvalidateRect(container, &entry.box, FALSE);
    entry.caption = Text(text);
    if (settled.autoSize)
        PlaceLabel(control);
    InvalidateRect(container, &entry.box, FALSE);
}

FormWindow* FormWindow::Of(HWND window) {
    if (window == nullptr || static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM)) != formAtom)
        return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

RECT FormWindow::ControlBox(std::size_t control) const {
    RECT box = controls_[control].box;
    if (const auto container = settled_.controls[control].container)
        MapWindowPoints(controls_[*container].window, window_, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

WORD FormWindow::MenuId(std::size_t menu) {
    return static_cast<WORD>(FirstMenuId + menu);
}

std::optional<std::size_t> FormWindow::IndexOf(HWND window) const {
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].window == window)
            return i;
    return std::nullopt;
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return form->Handle(window, message, wParam, lParam);
}

LRESULT FormWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        Paint(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: // a copy of the window, painted as onto the screen
        Paint(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT)
            return accessibility_.Answer(window, wParam);
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (const HBRUSH background =
                ColorControl(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(background);
        break;
    case DM_GETDEFID: // Return, as the system's dialog keys send it
        return settled_.defaultButton
                   ? MAKELRESULT(FirstControlId + *settled_.defaultButton, DC_HASDEFID)
                   : 0;
    case WM_COMMAND: {
        // A click's handler may unload this window: nothing of it is touched afterwards.
        const WORD id = LOWORD(wParam);
        if (id == IDCANCEL) { // Escape
            if (settled_.cancelButton)
                events_.Click(settled_.controls[*settled_.cancelButton].name);
            return 0;
        }
        if (const auto menu = IndexOfId(id, FirstMenuId, settled_.menus.size());
            menu && lParam == 0 && settled_.menus[*menu].command) {
            events_.Click(settled_.menus[*menu].name);
            return 0;
        }
        if (const auto index = IndexOfId(id, FirstControlId, controls_.size());
            index && HIWORD(wParam) == BN_CLICKED &&
            settled_.controls[*index].kind == ControlKind::CommandButton) {
            events_.Click(settled_.controls[*index].name);
            return 0;
        }
        break;
    }
    case WM_ACTIVATE:
        if (window != window_)
            break;
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focused = GetFocus();
            if (focused != nullptr && IsChild(window_, focused))
                focus_ = focused;
        } else if (focus_ != nullptr) {
            SetFocus(focus_);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (window != window_)
            break;
        events_.Close(); // unloads the form, which destroys this object
        return 0;
    case WM_DPICHANGED:
        if (window != window_)
            break;
        ApplyDpi(HIWORD(wParam));
        {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace FormsRuntime::win32
