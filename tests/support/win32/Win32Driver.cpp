// The test driver for the Win32 runtime: windows are found by their layout's name, windowed
// controls are child windows, painted ones are boxes the backend reports, and input goes
// through the thread's message queue as the window system would deliver it.

#include "Driver.h"
#include "runtime/win32/FormWindow.h"
#include "runtime/win32/Pictures.h"

#include <oleacc.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace TestDriver {
namespace {

using FormsRuntime::ControlKind;
using FormsRuntime::win32::FormWindow;

std::wstring Wide(std::string_view text) {
    return FormsRuntime::win32::WideFromUtf8(text);
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Captions as shown: the dialog manager's access-key markers removed, "&&" kept as "&".
std::string AsShown(const std::wstring& caption) {
    std::wstring shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size())
            ++i;
        shown.push_back(caption[i]);
    }
    return Utf8(shown);
}

// Delivers what is queued for this thread, as the runtime's message loop does.
void Pump() {
    for (int round = 0; round < 3; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            if (!FormWindow::HandleDialogKey(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        Sleep(5);
    }
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The shown window of that name, or else the loaded one that is still hidden.
const FormWindow& Window(std::string_view name) {
    const FormWindow* hidden = nullptr;
    for (HWND window : TopLevelWindows())
        if (const FormWindow* form = FormWindow::Of(window); form && form->Layout().name == name) {
            if (IsWindowVisible(window))
                return *form;
            hidden = form;
        }
    if (hidden == nullptr)
        throw std::runtime_error("no window " + std::string(name) + " is loaded");
    return *hidden;
}

std::size_t ControlIndex(const FormWindow& form, std::string_view name) {
    const auto& controls = form.Layout().controls;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == name)
            return i;
    throw std::runtime_error("no control " + std::string(name) + " in " +
                             std::string(form.Layout().name));
}

std::optional<std::size_t> MenuIndex(const FormWindow& form, std::string_view name) {
    const auto& menus = form.Layout().menus;
    for (std::size_t i = 0; i < menus.size(); ++i)
        if (menus[i].name == name)
            return i;
    return std::nullopt;
}

HWND ControlWindow(std::string_view window, std::string_view name) {
    const FormWindow& form = Window(window);
    if (HWND control = form.ControlWindow(ControlIndex(form, name)))
        return control;
    throw std::runtime_error(std::string(name) + " is not a windowed control");
}

double ScaleOf(const FormWindow& form) {
    return form.Dpi() / 96.0;
}

int Unscaled(int pixels, double scale) {
    return static_cast<int>(pixels / scale + (pixels < 0 ? -0.5 : 0.5));
}

// A menu bar item or a menu item: its caption as the menu holds it, and where it is.
struct MenuEntry {
    HMENU menu;
    UINT position;
};

std::optional<MenuEntry> FindMenu(HMENU menu, const FormWindow& form, std::size_t index) {
    const WORD id = FormWindow::MenuId(index);
    const std::wstring caption = [&] {
        std::wstring text;
        for (const char16_t unit : form.Layout().menus[index].caption)
            text.push_back(static_cast<wchar_t>(unit));
        return text;
    }();
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const auto position = static_cast<UINT>(i);
        if (GetMenuItemID(menu, i) == id)
            return MenuEntry{menu, position};
        if (HMENU sub = GetSubMenu(menu, i)) {
            wchar_t text[256];
            GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
            if (form.Layout().menus[index].parent.empty() && caption == text)
                return MenuEntry{menu, position};
            if (auto found = FindMenu(sub, form, index))
                return found;
        }
    }
    return std::nullopt;
}

Snapshot SnapshotOf(HDC source, int width, int height, double scale) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    Snapshot snapshot{width, height, scale, {}};
    const auto* pixels = static_cast<const DWORD*>(bits);
    snapshot.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int i = 0; i < width * height; ++i) {
        const DWORD pixel = pixels[i];
        snapshot.pixels.push_back({static_cast<int>((pixel >> 16) & 0xFF),
                                   static_cast<int>((pixel >> 8) & 0xFF),
                                   static_cast<int>(pixel & 0xFF)});
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return snapshot;
}

// Paints `window`'s client area into `dc` with its top-left corner at `origin`, then its
// visible children from the bottom of the stack up, each inside its own box.
void PrintInto(HWND window, HDC dc, POINT origin) {
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    HWND top = GetWindow(window, GW_CHILD);
    for (HWND child = top ? GetWindow(top, GW_HWNDLAST) : nullptr; child;
         child = GetWindow(child, GW_HWNDPREV)) {
        if (!IsWindowVisible(child))
            continue;
        RECT frame{};
        GetWindowRect(child, &frame);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&frame), 2);
        POINT client{0, 0};
        ClientToScreen(child, &client);
        ScreenToClient(window, &client);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
        SetViewportOrgEx(dc, origin.x + frame.left, origin.y + frame.top, nullptr);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
        PrintInto(child, dc, {origin.x + client.x, origin.y + client.y});
        RestoreDC(dc, saved);
    }
}

// The window's client area as it paints itself, children included, into a bitmap.
Snapshot Painted(HWND window, double scale) {
    RECT client{};
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    PrintInto(window, memory, {0, 0});
    SetViewportOrgEx(memory, 0, 0, nullptr);
    Snapshot snapshot = SnapshotOf(memory, client.right, client.bottom, scale);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return snapshot;
}

// The message box (dialog class #32770) of this thread that is up and enabled, if any.
HWND OpenBox() {
    for (HWND window : TopLevelWindows()) {
        wchar_t name[16];
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window))
            return window;
    }
    return nullptr;
}

// Calls `answer` on the first message box that comes up while `action` runs; the box runs a
// message loop of its own, whose timer calls reach `answer`.
void WhileBoxOpens(const std::function<void(HWND)>& answer, const std::function<void()>& action) {
    static std::vector<std::pair<const std::function<void(HWND)>*, HWND>> waiting;
    waiting.emplace_back(&answer, OpenBox());
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        auto& [pending, before] = waiting.back();
        if (pending == nullptr)
            return;
        HWND box = OpenBox();
        if (box == nullptr || box == before)
            return;
        const auto* call = pending;
        pending = nullptr;
        (*call)(box);
    });
    try {
        action();
    } catch (...) {
        KillTimer(nullptr, timer);
        waiting.pop_back();
        throw;
    }
    KillTimer(nullptr, timer);
    waiting.pop_back();
}

// A key as the keyboard delivers it; the message loop makes characters of it.
void PressKey(HWND target, UINT key) {
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
    PostMessageW(target, WM_KEYDOWN, key, down);
    PostMessageW(target, WM_KEYUP, key, down | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

// The box's icon, told apart by the system's shared icon handles that the box shows.
std::string IconName(HWND box) {
    HICON shown = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)))
            shown = icon;
    const struct {
        LPCWSTR id;
        const char* name;
    } icons[] = {{IDI_QUESTION, "question"},
                 {IDI_ASTERISK, "information"},
                 {IDI_EXCLAMATION, "warning"},
                 {IDI_HAND, "critical"}};
    for (const auto& [id, name] : icons)
        if (shown != nullptr && shown == LoadIconW(nullptr, id))
            return name;
    return shown != nullptr ? "unknown" : "";
}

class Win32Driver final : public Driver {
public:
    int Run(const FormsRuntime::Program& program, const std::function<void()>& scenario) override {
        // Main runs message loops of its own, so the scenario starts once it returns, from the
        // runtime's message loop.
        static const FormsRuntime::Program* running = nullptr;
        static const std::function<void()>* pending = nullptr;
        running = &program;
        pending = &scenario;
        FormsRuntime::Program wrapped = program;
        wrapped.main = [] {
            running->main();
            SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR timer, DWORD) {
                KillTimer(nullptr, timer);
                (*pending)();
                for (HWND window : TopLevelWindows())
                    if (FormWindow::Of(window) && IsWindowVisible(window))
                        SendMessageW(window, WM_CLOSE, 0, 0);
            });
        };
        return FormsRuntime::Start(0, nullptr, wrapped);
    }

    double Scale() override { return GetDpiForSystem() / 96.0; }

    Rgb SystemColour(int number) override {
        const COLORREF colour = GetSysColor(number);
        return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    }

    std::optional<Rgb> PicturePixel(std::string_view picture, Point point) override {
        const auto decoded = FormsRuntime::win32::LoadPicture(picture, 96, "test");
        BITMAP info{};
        GetObjectW(decoded.bitmap.get(), sizeof info, &info);
        const auto* row = static_cast<const BYTE*>(info.bmBits) + point.y * info.bmWidthBytes;
        const BYTE* pixel = row + point.x * 4;
        if (pixel[3] == 0)
            return std::nullopt;
        return Rgb{pixel[2], pixel[1], pixel[0]};
    }

    int CountShown(std::string_view window) override {
        Pump();
        int count = 0;
        for (HWND shown : TopLevelWindows())
            if (const FormWindow* form = FormWindow::Of(shown))
                count += form->Layout().name == window && IsWindowVisible(shown);
        return count;
    }

    WindowLook Look(std::string_view name) override {
        const FormWindow& form = Window(name);
        HWND window = form.Handle();
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
        const auto extended = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
        const double scale = ScaleOf(form);
        RECT client{};
        GetClientRect(window, &client);
        RECT frame{};
        GetWindowRect(window, &frame);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        const bool centred = std::abs((frame.left + frame.right) - (work.left + work.right)) <= 2 &&
                             std::abs((frame.top + frame.bottom) - (work.top + work.bottom)) <= 2;
        int iconSize = 0;
        if (auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0))) {
            ICONINFO info{};
            GetIconInfo(icon, &info);
            BITMAP bitmap{};
            GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
            iconSize = Unscaled(bitmap.bmWidth, scale);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
        const bool systemMenu = style & WS_SYSMENU;
        return {.caption = Utf8(WindowText(window)),
                .titleBar = (style & WS_CAPTION) == WS_CAPTION,
                .minimizeButton = systemMenu && (style & WS_MINIMIZEBOX),
                .maximizeButton = systemMenu && (style & WS_MAXIMIZEBOX),
                .resizable = (style & WS_THICKFRAME) != 0,
                .taskBarButton =
                    !(extended & WS_EX_TOOLWINDOW) && GetWindow(window, GW_OWNER) == nullptr,
                .centred = centred,
                .clientWidth = Unscaled(client.right, scale),
                .clientHeight = Unscaled(client.bottom, scale),
                .iconSize = iconSize};
    }

    void Resize(std::string_view name, int clientWidth, int clientHeight) override {
        const FormWindow& form = Window(name);
        HWND window = form.Handle();
        const double scale = ScaleOf(form);
        RECT frame{0, 0, static_cast<int>(clientWidth * scale),
                   static_cast<int>(clientHeight * scale)};
        AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                                 GetMenu(window) != nullptr,
                                 static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)),
                                 form.Dpi());
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // A menu bar that wraps onto a second line takes from the client area: fix up once.
        RECT client{};
        GetClientRect(window, &client);
        const int missing = static_cast<int>(clientHeight * scale) - client.bottom;
        if (missing != 0)
            SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
                         frame.bottom - frame.top + missing,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
    }

    bool OnScreenAsPainted(std::string_view name) override {
        const FormWindow& form = Window(name);
        HWND window = form.Handle();
        const Snapshot painted = Painted(window, ScaleOf(form));
        // What the screen shows there now, read without delivering any message.
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        HDC screen = GetDC(nullptr);
        HDC at = CreateCompatibleDC(screen);
        HBITMAP copy = CreateCompatibleBitmap(screen, painted.width, painted.height);
        const HGDIOBJ previous = SelectObject(at, copy);
        BitBlt(at, 0, 0, painted.width, painted.height, screen, origin.x, origin.y, SRCCOPY);
        const Snapshot onScreen = SnapshotOf(at, painted.width, painted.height, painted.scale);
        SelectObject(at, previous);
        DeleteObject(copy);
        DeleteDC(at);
        ReleaseDC(nullptr, screen);
        return onScreen.pixels == painted.pixels;
    }

    Snapshot Grab(std::string_view name) override {
        Pump();
        const FormWindow& form = Window(name);
        return Painted(form.Handle(), ScaleOf(form));
    }

    Rect Geometry(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        const std::size_t index = ControlIndex(form, name);
        RECT box{};
        if (HWND control = form.ControlWindow(index)) {
            GetWindowRect(control, &box);
            MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&box), 2);
        } else {
            box = form.ControlBox(index);
        }
        const double scale = ScaleOf(form);
        return {Unscaled(box.left, scale), Unscaled(box.top, scale),
                Unscaled(box.right - box.left, scale), Unscaled(box.bottom - box.top, scale)};
    }

    std::string Text(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        if (const auto menu = MenuIndex(form, name)) {
            const auto entry = FindMenu(GetMenu(form.Handle()), form, *menu);
            if (!entry)
                throw std::runtime_error("menu " + std::string(name) + " is not in the menu bar");
            wchar_t text[256];
            GetMenuStringW(entry->menu, entry->position, text, 256, MF_BYPOSITION);
            return AsShown(text);
        }
        const std::size_t index = ControlIndex(form, name);
        if (HWND control = form.ControlWindow(index)) {
            const bool button = form.Layout().controls[index].kind == ControlKind::CommandButton;
            return button ? AsShown(WindowText(control)) : Utf8(WindowText(control));
        }
        const FormsRuntime::Text caption = form.ControlText(index);
        return Utf8(std::wstring(caption.begin(), caption.end()));
    }

    Font FontOf(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        const std::size_t index = ControlIndex(form, name);
        HFONT font = form.ControlFont(index);
        if (HWND control = form.ControlWindow(index))
            font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        LOGFONTW logical{};
        GetObjectW(font, sizeof logical, &logical);
        return {
            Utf8(logical.lfFaceName),           Unscaled(std::abs(logical.lfHeight), ScaleOf(form)),
            static_cast<int>(logical.lfWeight), logical.lfItalic != 0,
            logical.lfUnderline != 0,           logical.lfStrikeOut != 0};
    }

    // Wine's accessibility layer answers for the system's controls with generic client objects,
    // without their roles or names, and ignores annotations.
    std::string AccessibilityUnavailable() override {
        if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr)
            return "Wine reports no roles or names for the system's controls";
        return {};
    }

    // What the system's accessibility interface reports for the control's window.
    Accessible AccessibleOf(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        IAccessible* accessible = nullptr;
        VARIANT child{};
        child.vt = VT_I4;
        child.lVal = CHILDID_SELF;
        if (const auto menu = MenuIndex(form, name)) {
            AccessibleObjectFromWindow(form.Handle(), static_cast<DWORD>(OBJID_MENU),
                                       IID_IAccessible, reinterpret_cast<void**>(&accessible));
            if (const auto entry = FindMenu(GetMenu(form.Handle()), form, *menu))
                child.lVal = static_cast<LONG>(entry->position) + 1;
        } else if (HWND control = form.ControlWindow(ControlIndex(form, name))) {
            AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                       reinterpret_cast<void**>(&accessible));
        }
        if (accessible == nullptr)
            return {};
        Accessible result;
        BSTR text = nullptr;
        if (SUCCEEDED(accessible->get_accName(child, &text)) && text != nullptr) {
            result.name = AsShown(text);
            SysFreeString(text);
        }
        VARIANT role{};
        if (SUCCEEDED(accessible->get_accRole(child, &role)) && role.vt == VT_I4) {
            switch (role.lVal) {
            case ROLE_SYSTEM_STATICTEXT:
                result.role = Role::StaticText;
                break;
            case ROLE_SYSTEM_TEXT:
                result.role = Role::EditableText;
                break;
            case ROLE_SYSTEM_PUSHBUTTON:
                result.role = Role::Button;
                break;
            case ROLE_SYSTEM_MENUITEM:
                result.role = Role::MenuItem;
                break;
            default:
                break;
            }
        }
        accessible->Release();
        return result;
    }

    std::string ControlAt(std::string_view window, Point point) override {
        const FormWindow& form = Window(window);
        const double scale = ScaleOf(form);
        const POINT at{static_cast<LONG>(point.x * scale), static_cast<LONG>(point.y * scale)};
        const auto& controls = form.Layout().controls;
        // Windowed controls lie above painted ones; among each, the one listed first on top.
        for (const bool windowed : {true, false})
            for (std::size_t i = 0; i < controls.size(); ++i) {
                if (FormsRuntime::IsWindowed(controls[i].kind) != windowed)
                    continue;
                RECT box{};
                if (HWND control = form.ControlWindow(i)) {
                    GetWindowRect(control, &box);
                    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&box), 2);
                    POINT screenAt = at;
                    ClientToScreen(form.Handle(), &screenAt);
                    if (WindowFromPoint(screenAt) != control && PtInRect(&box, at))
                        continue; // covered by a sibling
                } else {
                    box = form.ControlBox(i);
                }
                if (PtInRect(&box, at))
                    return std::string(controls[i].name);
            }
        return {};
    }

    std::string Focused(std::string_view window) override {
        Pump();
        const FormWindow& form = Window(window);
        HWND focus = GetFocus();
        for (std::size_t i = 0; i < form.Layout().controls.size(); ++i)
            if (focus != nullptr && form.ControlWindow(i) == focus)
                return std::string(form.Layout().controls[i].name);
        return {};
    }

    void Click(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        if (const auto menu = MenuIndex(form, name)) {
            PostMessageW(form.Handle(), WM_COMMAND, FormWindow::MenuId(*menu), 0);
            Pump();
            return;
        }
        const std::size_t index = ControlIndex(form, name);
        HWND control = form.ControlWindow(index);
        HWND target = control != nullptr ? control : form.Handle();
        RECT box{};
        if (control != nullptr)
            GetClientRect(control, &box);
        else
            box = form.ControlBox(index);
        const LPARAM centre = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
        SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, centre);
        SendMessageW(target, WM_LBUTTONUP, 0, centre);
        Pump();
    }

    void Paste(std::string_view window, std::string_view name, std::string_view text) override {
        SetWindowTextW(ControlWindow(window, name), Wide(text).c_str());
        Pump();
    }

    void Type(std::string_view window, std::string_view name, std::string_view text) override {
        HWND edit = ControlWindow(window, name);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        for (const wchar_t unit : Wide(text))
            SendMessageW(edit, WM_CHAR, unit, 1);
        Pump();
    }

    void Press(std::string_view window, Key key) override {
        const FormWindow& form = Window(window);
        HWND focus = GetFocus();
        const HWND target = focus != nullptr && GetAncestor(focus, GA_ROOT) == form.Handle()
                                ? focus
                                : form.Handle();
        UINT code = 0;
        switch (key) {
        case Key::Return:
            code = VK_RETURN;
            break;
        case Key::Escape:
            code = VK_ESCAPE;
            break;
        case Key::Space:
            code = VK_SPACE;
            break;
        case Key::Tab:
            code = VK_TAB;
            break;
        case Key::F1:
            code = VK_F1;
            break;
        }
        PressKey(target, code);
        Pump();
    }

    MessageBoxSeen AnswerMessageBox(Answer answer, const std::function<void()>& action) override {
        MessageBoxSeen seen;
        WhileBoxOpens(
            [&](HWND box) {
                seen.title = Utf8(WindowText(box));
                seen.prompt = Utf8(WindowText(GetDlgItem(box, 0xFFFF)));
                seen.icon = IconName(box);
                for (HWND child = GetWindow(box, GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    wchar_t kind[16];
                    GetClassNameW(child, kind, 16);
                    if (std::wstring(kind) != L"Button" || !IsWindowVisible(child))
                        continue;
                    seen.buttons.push_back(AsShown(WindowText(child)));
                    if ((GetWindowLongPtrW(child, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON)
                        seen.defaultButton = seen.buttons.back();
                }
                // F1 offers help in a box of its own, which is read and closed.
                WhileBoxOpens(
                    [&](HWND help) {
                        seen.help = Utf8(WindowText(GetDlgItem(help, 0xFFFF)));
                        PostMessageW(help, WM_COMMAND, IDOK, 0);
                    },
                    [&] {
                        HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, box, 0, {0, 0}};
                        SendMessageW(box, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
                    });
                switch (answer) {
                case Answer::Yes:
                    PostMessageW(box, WM_COMMAND, IDYES, 0);
                    break;
                case Answer::No:
                    PostMessageW(box, WM_COMMAND, IDNO, 0);
                    break;
                case Answer::Return:
                    PressKey(GetFocus(), VK_RETURN);
                    break;
                case Answer::Escape:
                    PressKey(GetFocus(), VK_ESCAPE);
                    break;
                }
            },
            action);
        Pump();
        return seen;
    }

    bool Close(std::string_view window) override {
        bool asked = false;
        HWND shown = Window(window).Handle();
        WhileBoxOpens(
            [&](HWND box) {
                asked = true;
                PostMessageW(box, WM_COMMAND, IDNO, 0);
            },
            [&] {
                SendMessageW(shown, WM_SYSCOMMAND, SC_CLOSE, 0);
                Pump();
            });
        return asked;
    }
};

} // namespace

Driver& Current() {
    static Win32Driver driver;
    return driver;
}

} // namespace TestDriver
