#include "runtime/win32/FormWindow.h"

#include "runtime/RuntimeError.h"

#include <algorithm>

namespace FormsRuntime::win32 {
namespace {

constexpr wchar_t FormClass[] = L"FormsRuntime.Form";
constexpr wchar_t FrameClass[] = L"FormsRuntime.Frame";
ATOM formAtom = 0;
ATOM frameAtom = 0;

bool IsFrame(HWND window) {
    return static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM)) == frameAtom;
}

// Child-window and menu-item identifiers: apart from IDOK and IDCANCEL, which the dialog keys
// send, and apart from each other.
constexpr WORD FirstControlId = 0x100;
constexpr WORD FirstMenuId = 0x8000;

// Captions carry no access-key markers: an ampersand is shown as itself.
std::wstring LiteralCaption(TextView caption) {
    std::wstring literal;
    for (const char16_t unit : caption) {
        if (unit == u'&')
            literal.push_back(L'&');
        literal.push_back(static_cast<wchar_t>(unit));
    }
    return literal;
}

Font CreateFontFor(const FontSpec& spec, UINT dpi) {
    const std::wstring face = WideFromUtf8(spec.face);
    return Font(CreateFontW(-Scaled(FontPixelHeight(spec), dpi), 0, 0, 0, spec.weight, spec.italic,
                            spec.underline, spec.strikethrough, static_cast<DWORD>(spec.charset),
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

struct WindowStyle {
    DWORD style;
    DWORD extended;
};

// The title bar and border the layout asks for. A window with neither caption nor title-bar
// buttons has no title bar at all.
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

} // namespace

void FormWindow::RegisterClasses(HICON programIcon) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), FormClass, &existing))
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
    frameAtom = RegisterClassExW(&frame);
    if (formAtom == 0 || frameAtom == 0)
        ThrowLastError("App", "register window classes");
}

FormWindow::FormWindow(FormEvents events)
    : events_(events), layout_(events.Layout()), dpi_(GetDpiForSystem()),
      controls_(layout_.controls.size()), tabOrder_(TabOrder(layout_)) {
    try {
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (layout_.controls[i].kind == ControlKind::Label)
                controls_[i].caption = Text(layout_.controls[i].caption);
        CreateTopLevel();
        CreateMenus();
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (IsWindowed(layout_.controls[i].kind))
                CreateControl(i);
        // The one listed first lies on top: each in turn goes below the ones before it.
        for (const Control& control : controls_)
            if (control.window != nullptr)
                SetWindowPos(control.window, HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
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
    for (const Control& control : controls_)
        if (control.window != nullptr && IsFrame(control.window))
            SetWindowLongPtrW(control.window, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void FormWindow::CreateTopLevel() {
    const WindowStyle style = StyleOf(layout_);
    const std::wstring caption = WideString(layout_.caption);
    window_ =
        CreateWindowExW(style.extended, FormClass, caption.c_str(), style.style, CW_USEDEFAULT,
                        CW_USEDEFAULT, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        ThrowLastError(events_.ObjectName(), "create window");
}

void FormWindow::CreateMenus() {
    if (layout_.menus.empty())
        return;
    menuBar_ = CreateMenu();
    for (std::size_t top = 0; top < layout_.menus.size(); ++top) {
        const MenuLayout& menu = layout_.menus[top];
        if (!menu.parent.empty() || !menu.visible)
            continue;
        HMENU popup = CreatePopupMenu();
        bool hasItems = false;
        for (std::size_t item = 0; item < layout_.menus.size(); ++item) {
            const MenuLayout& entry = layout_.menus[item];
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
            AppendMenuW(menuBar_, MF_POPUP | state, reinterpret_cast<UINT_PTR>(popup),
                        caption.c_str());
        } else {
            DestroyMenu(popup);
            AppendMenuW(menuBar_, MF_STRING | state, FirstMenuId + top, caption.c_str());
        }
    }
    if (!SetMenu(window_, menuBar_))
        ThrowLastError(events_.ObjectName(), "create menu bar");
}

HWND FormWindow::ContainerWindow(std::string_view container) {
    if (container.empty())
        return window_;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (layout_.controls[i].name == container)
            return controls_[i].window != nullptr ? controls_[i].window : CreateControl(i);
    Fail(container, "find container");
}

HWND FormWindow::CreateControl(std::size_t index) {
    const ControlLayout& layout = layout_.controls[index];
    Control& control = controls_[index];
    const HWND parent = ContainerWindow(layout.container);
    const auto id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FirstControlId + index));
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (layout.kind) {
    case ControlKind::TextBox: {
        const DWORD align = layout.alignment == Alignment::Right    ? ES_RIGHT
                            : layout.alignment == Alignment::Center ? ES_CENTER
                                                                    : ES_LEFT;
        control.window = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", WideString(layout.caption).c_str(),
            child | WS_TABSTOP | ES_AUTOHSCROLL | align, 0, 0, 0, 0, parent, id, module, nullptr);
        if (control.window != nullptr) { // MaxLength 0: as long as the user likes
            SendMessageW(control.window, EM_SETLIMITTEXT, 0, 0);
            NameForScreenReaders(control.window, layout.accessibleName);
        }
        break;
    }
    case ControlKind::CommandButton:
        control.window = CreateWindowExW(
            0, L"BUTTON", LiteralCaption(layout.caption).c_str(),
            child | WS_TABSTOP |
                (layout.keyFlag == KeyFlag::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
            0, 0, 0, 0, parent, id, module, nullptr);
        break;
    case ControlKind::Frame:
        control.window =
            CreateWindowExW(0, FrameClass, WideString(layout.caption).c_str(),
                            child | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, id, module, this);
        break;
    case ControlKind::Label:
    case ControlKind::Image:
    case ControlKind::Line:
        return nullptr;
    }
    if (control.window == nullptr)
        Fail(layout.name, "create control");
    return control.window;
}

void FormWindow::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    background_.reset(CreateSolidBrush(ToColorRef(layout_.backColor)));
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlLayout& layout = layout_.controls[i];
        Control& control = controls_[i];
        if (layout.kind == ControlKind::Line) {
            const Segment& line = layout.segment;
            const int x1 = PixelsFromTwips(std::min(line.x1, line.x2));
            const int y1 = PixelsFromTwips(std::min(line.y1, line.y2));
            const int x2 = PixelsFromTwips(std::max(line.x1, line.x2)) + 1;
            const int y2 = PixelsFromTwips(std::max(line.y1, line.y2)) + 1;
            control.box = {Scaled(x1, dpi), Scaled(y1, dpi), Scaled(x2, dpi), Scaled(y2, dpi)};
            continue;
        }
        control.box = BoxAt(ScaledTwips(layout.left, dpi), ScaledTwips(layout.top, dpi),
                            ScaledTwips(layout.width, dpi), ScaledTwips(layout.height, dpi));
        control.font = CreateFontFor(layout.font.value_or(DefaultFont), dpi);
        control.background.reset(CreateSolidBrush(ToColorRef(BackColorOf(layout))));
        if (!layout.picture.empty())
            control.picture = LoadPicture(layout.picture, dpi, events_.ObjectName(layout.name));
        if (layout.kind == ControlKind::Label && layout.autoSize)
            PlaceLabel(i);
        if (control.window != nullptr) {
            const RECT& box = control.box;
            SetWindowPos(control.window, nullptr, box.left, box.top, box.right - box.left,
                         box.bottom - box.top, SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font.get()),
                         FALSE);
        }
    }

    const WindowStyle style = StyleOf(layout_);
    RECT frame =
        BoxAt(0, 0, ScaledTwips(layout_.clientWidth, dpi), ScaledTwips(layout_.clientHeight, dpi));
    AdjustWindowRectExForDpi(&frame, style.style, menuBar_ != nullptr, style.extended, dpi);
    int x = 0;
    int y = 0;
    UINT placement = SWP_NOZORDER | SWP_NOACTIVATE;
    switch (layout_.startUpPosition) {
    case StartUpPosition::Manual:
        x = ScaledTwips(layout_.clientLeft, dpi) + frame.left;
        y = ScaledTwips(layout_.clientTop, dpi) + frame.top;
        break;
    case StartUpPosition::CenterScreen: {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        x = work.left + (work.right - work.left - (frame.right - frame.left)) / 2;
        y = work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2;
        break;
    }
    case StartUpPosition::WindowsDefault:
        placement |= SWP_NOMOVE;
        break;
    }
    SetWindowPos(window_, nullptr, x, y, frame.right - frame.left, frame.bottom - frame.top,
                 placement);

    if (!layout_.icon.empty()) {
        const std::string object = events_.ObjectName();
        bigIcon_ = LoadIconPicture(layout_.icon, GetSystemMetricsForDpi(SM_CXICON, dpi), object);
        smallIcon_ =
            LoadIconPicture(layout_.icon, GetSystemMetricsForDpi(SM_CXSMICON, dpi), object);
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    }
    InvalidateRect(window_, nullptr, TRUE);
}

// An AutoSize label takes the size of its caption in its font, keeping its left and top.
void FormWindow::PlaceLabel(std::size_t index) {
    Control& control = controls_[index];
    HDC dc = GetDC(window_);
    const HGDIOBJ previous = SelectObject(dc, control.font.get());
    RECT text{};
    const std::wstring caption = WideString(control.caption);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(window_, dc);
    control.box.right = control.box.left + text.right;
    control.box.bottom = control.box.top + text.bottom;
}

void FormWindow::Show() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
    if (focus_ == nullptr && !tabOrder_.empty())
        focus_ = controls_[tabOrder_.front()].window;
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
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(entry.window, text.data(), length + 1);
    return FromWide(text.data(), static_cast<std::size_t>(copied));
}

void FormWindow::SetControlText(std::size_t control, TextView text) {
    Control& entry = controls_[control];
    const ControlLayout& layout = layout_.controls[control];
    if (entry.window != nullptr) {
        if (!SetWindowTextW(entry.window, WideString(text).c_str()))
            Fail(layout.name, "set text");
        return;
    }
    const HWND container = ContainerWindow(layout.container);
    InvalidateRect(container, &entry.box, FALSE);
    entry.caption = Text(text);
    if (layout.autoSize)
        PlaceLabel(control);
    InvalidateRect(container, &entry.box, FALSE);
}

const FormWindow* FormWindow::Of(HWND window) {
    if (window == nullptr || static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM)) != formAtom)
        return nullptr;
    return reinterpret_cast<const FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

RECT FormWindow::ControlBox(std::size_t control) const {
    RECT box = controls_[control].box;
    const std::string_view container = layout_.controls[control].container;
    for (std::size_t i = 0; !container.empty() && i < controls_.size(); ++i)
        if (layout_.controls[i].name == container) {
            MapWindowPoints(controls_[i].window, window_, reinterpret_cast<POINT*>(&box), 2);
            break;
        }
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

std::optional<std::size_t> FormWindow::ControlOfId(WORD id) const {
    if (id < FirstControlId || id >= FirstControlId + controls_.size())
        return std::nullopt;
    return std::size_t{id} - FirstControlId;
}

void FormWindow::Click(std::size_t index) {
    // The handler may unload this window: nothing of it is touched afterwards.
    events_.Click(layout_.controls[index].name);
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

bool FormWindow::HandleDialogKey(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || message.hwnd == nullptr)
        return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || static_cast<ATOM>(GetClassLongPtrW(root, GCW_ATOM)) != formAtom)
        return false;
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
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
        if (const auto index = IndexOf(reinterpret_cast<HWND>(lParam))) {
            const ControlLayout& layout = layout_.controls[*index];
            auto* dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ToColorRef(ForeColorOf(layout)));
            SetBkColor(dc, ToColorRef(BackColorOf(layout)));
            return reinterpret_cast<LRESULT>(controls_[*index].background.get());
        }
        break;
    case DM_GETDEFID:
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (layout_.controls[i].keyFlag == KeyFlag::Default)
                return MAKELRESULT(FirstControlId + i, DC_HASDEFID);
        return 0;
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id == IDCANCEL) {
            for (std::size_t i = 0; i < controls_.size(); ++i)
                if (layout_.controls[i].keyFlag == KeyFlag::Cancel) {
                    Click(i);
                    return 0;
                }
            return 0;
        }
        if (id >= FirstMenuId && lParam == 0 &&
            std::size_t{id} - FirstMenuId < layout_.menus.size()) {
            events_.Click(layout_.menus[id - FirstMenuId].name);
            return 0;
        }
        if (const auto index = ControlOfId(id);
            index && HIWORD(wParam) == BN_CLICKED &&
            layout_.controls[*index].kind == ControlKind::CommandButton) {
            Click(*index);
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

void FormWindow::Fail(std::string_view control, const char* operation) const {
    ThrowLastError(events_.ObjectName(control), operation);
}

} // namespace FormsRuntime::win32
