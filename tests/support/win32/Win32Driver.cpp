// The test driver for the Win32 runtime: windows are found by their layout's name, windowed
// controls are child windows, painted ones are boxes the backend reports, and input goes
// through the thread's message queue as the window system would deliver it.

#include "Driver.h"
#include "runtime/win32/Accessibility.h"
#include "runtime/win32/ClientAccessible.h"
#include "runtime/win32/FormWindow.h"
#include "runtime/win32/Pictures.h"

#include <algorithm>
#include <oleacc.h>
#include <stdexcept>
#include <utility>

namespace TestDriver {
namespace {

using FormsRuntime::win32::FormWindow;
using FormsRuntime::win32::IntVariant;
using FormsRuntime::win32::Scaled;

std::string Utf8(std::wstring_view text) {
    std::string utf8(text.size() * 3, '\0'); // at most three bytes for each UTF-16 unit
    utf8.resize(std::size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()),
                                                utf8.data(), int(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::wstring WindowText(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

// Delivers what is queued for this thread, as the runtime's message loop does.
void Pump() {
    for (int round = 0; round < 3; ++round, Sleep(5))
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            if (message.message == WM_QUIT)
                return PostQuitMessage(int(message.wParam));
            if (!FormWindow::HandleDialogKey(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
}

// This thread's top-level windows, the topmost first.
std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
            windows.push_back(window);
    return windows;
}

// The shown window of that name, or else the loaded one that is still hidden.
const FormWindow& Window(std::string_view name) {
    const FormWindow* found = nullptr;
    for (HWND window : TopLevelWindows())
        if (const FormWindow* form = FormWindow::Of(window);
            form && form->Settled().name == name && (!found || IsWindowVisible(window)))
            found = form;
    if (found == nullptr)
        throw std::runtime_error("no window " + std::string(name) + " is loaded");
    return *found;
}

// Device pixels of the window as device-independent ones.
int Unscaled(const FormWindow& form, int pixels) {
    return MulDiv(pixels, 96, int(form.Dpi()));
}

// A control of a loaded window: its child window, if it has one, and its box in device pixels
// in the window's client area.
struct Control {
    std::size_t index;
    HWND window;
    RECT box;
};

Control ControlOf(const FormWindow& form, std::size_t index) {
    Control control{index, form.ControlWindow(index), form.ControlBox(index)};
    if (control.window != nullptr) {
        GetWindowRect(control.window, &control.box);
        MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&control.box), 2);
    }
    return control;
}

Control Find(const FormWindow& form, std::string_view name) {
    const auto& controls = form.Settled().controls;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == name)
            return ControlOf(form, i);
    throw std::runtime_error("no control " + std::string(name) + " in " +
                             std::string(form.Settled().name));
}

HWND ChildWindow(std::string_view window, std::string_view name) {
    if (HWND control = Find(Window(window), name).window)
        return control;
    throw std::runtime_error(std::string(name) + " is not a windowed control");
}

// A menu's place in `menu` or its submenus: a menu item by its identifier, a menu with items of
// its own by the parent of its first item.
std::optional<std::pair<HMENU, UINT>> FindMenu(HMENU menu, const FormWindow& form,
                                               std::string_view name) {
    const auto& menus = form.Settled().menus;
    // The menu-bar entry that drops `item` down.
    const auto holding = [&](std::size_t item) {
        for (const auto& entry : menus)
            if (std::ranges::count(entry.items, item) != 0)
                return entry.name;
        return std::string_view{};
    };
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        HMENU items = GetSubMenu(menu, i);
        const std::size_t index = (items ? GetMenuItemID(items, 0) : GetMenuItemID(menu, i)) -
                                  std::size_t{FormWindow::MenuId(0)};
        if (index < menus.size() && (items ? holding(index) : menus[index].name) == name)
            return std::pair{menu, UINT(i)};
        if (auto found = items ? FindMenu(items, form, name) : std::nullopt)
            return found;
    }
    return std::nullopt;
}

// Paints `window`'s client area into `dc` with its top-left corner at `origin`, then its
// children from the bottom of the stack up, each inside its own box. (Wine's WM_PRINT
// leaves the children out.)
void PrintInto(HWND window, HDC dc, POINT origin) {
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    for (HWND child = GetWindow(GetWindow(window, GW_CHILD), GW_HWNDLAST); child;
         child = GetWindow(child, GW_HWNDPREV)) {
        RECT frame{};
        GetWindowRect(child, &frame);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&frame), 2);
        POINT client{0, 0};
        MapWindowPoints(child, window, &client, 1);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
        SetViewportOrgEx(dc, origin.x + frame.left, origin.y + frame.top, nullptr);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
        PrintInto(child, dc, {origin.x + client.x, origin.y + client.y});
        RestoreDC(dc, saved);
    }
}

// The window's client area in a bitmap: as it paints itself, children included, or as the
// screen shows it now, read without delivering any message.
Snapshot Capture(const FormWindow& form, bool fromScreen) {
    RECT client{};
    GetClientRect(form.Handle(), &client);
    POINT origin{0, 0};
    ClientToScreen(form.Handle(), &origin);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    if (fromScreen)
        BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    else
        PrintInto(form.Handle(), memory, {0, 0});
    SelectObject(memory, previous);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> bits(std::size_t(client.right) * std::size_t(client.bottom));
    GetDIBits(memory, bitmap, 0, UINT(client.bottom), bits.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    Snapshot snapshot{client.right, client.bottom, form.Dpi() / 96.0, {}};
    for (const DWORD pixel : bits) // 0x00RRGGBB
        snapshot.pixels.push_back(
            {int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)});
    return snapshot;
}

// The message box (dialog class #32770) of this thread that is up and enabled, if any.
HWND OpenBox() {
    for (HWND window : TopLevelWindows())
        if (GetClassLongPtrW(window, GCW_ATOM) == 32770 && IsWindowVisible(window) &&
            IsWindowEnabled(window))
            return window;
    return nullptr;
}

// Calls `answer` on the first message box that comes up while `action` runs; the box runs a
// message loop of its own, whose timer calls reach `answer`.
void WhileBoxOpens(const std::function<void(HWND)>& answer, const std::function<void()>& action) {
    static std::vector<std::pair<const std::function<void(HWND)>*, HWND>> waiting;
    waiting.emplace_back(&answer, OpenBox());
    struct Waiting {
        UINT_PTR timer;
        ~Waiting() {
            KillTimer(nullptr, timer);
            waiting.pop_back();
        }
    } const done{SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        auto& [pending, before] = waiting.back();
        HWND box = OpenBox();
        if (pending != nullptr && box != nullptr && box != before)
            (*std::exchange(pending, nullptr))(box);
    })};
    action();
}

// A key as the keyboard delivers it; the message loop makes characters of it.
void PressKey(HWND target, UINT key) {
    const LPARAM down = 1 | LPARAM(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, key, down);
    PostMessageW(target, WM_KEYUP, key, down | LPARAM{3} << 30);
}

// A message box's icon, told apart by the system's shared icon handles.
std::string IconName(HICON icon) {
    const LPCWSTR ids[] = {IDI_QUESTION, IDI_ASTERISK, IDI_EXCLAMATION, IDI_HAND};
    const char* const names[] = {"question", "information", "warning", "critical"};
    for (std::size_t i = 0; i < std::size(ids); ++i)
        if (icon == LoadIconW(nullptr, ids[i]))
            return names[i];
    return "unknown";
}

// What a screen reader reads, through the accessibility interface as it is offered to other
// programs.
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
using AccessiblePtr = std::unique_ptr<IAccessible, ComRelease>;

AccessiblePtr ObjectOf(HWND window, LONG id) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, DWORD(id), IID_IAccessible,
                               reinterpret_cast<void**>(&object));
    return AccessiblePtr(object);
}

std::string NameOf(IAccessible& object, LONG child) {
    BSTR name = nullptr;
    if (FAILED(object.get_accName(IntVariant(child), &name)) || name == nullptr)
        return {};
    std::string text = Utf8({name, SysStringLen(name)});
    SysFreeString(name);
    return text;
}

// The children of the form's client area as a screen reader enumerates them: child windows as
// objects of their own, simple children by their identifier.
std::vector<VARIANT> ChildrenOf(IAccessible& client) {
    long count = 0;
    client.get_accChildCount(&count);
    std::vector<VARIANT> children(std::size_t(std::max(count, 0L)));
    long got = 0;
    AccessibleChildren(&client, 0, count, children.data(), &got);
    children.resize(std::size_t(got));
    return children;
}

// Announcements as screen readers take them from the window events the program raises: a
// label's name changes, then its live region changes, and a screen reader reads the name.
struct Announced {
    std::vector<std::string> texts;
    std::vector<std::pair<HWND, LONG>> renamed; // since the last announcement
};
Announced announced;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                         DWORD) {
    if (event == EVENT_OBJECT_NAMECHANGE && object == OBJID_CLIENT)
        announced.renamed.emplace_back(window, child);
    if (event != EVENT_OBJECT_LIVEREGIONCHANGED)
        return;
    IAccessible* source = nullptr;
    VARIANT id{};
    if (FAILED(AccessibleObjectFromEvent(window, DWORD(object), DWORD(child), &source, &id))) {
        announced.texts.push_back("(an object that cannot be read)");
        return;
    }
    const AccessiblePtr held(source);
    std::string text = NameOf(*source, id.lVal);
    if (std::ranges::find(announced.renamed, std::pair{window, child}) == announced.renamed.end())
        text += " (without a name change first)";
    announced.renamed.clear();
    announced.texts.push_back(std::move(text));
}

class Win32Driver final : public Driver {
public:
    int Run(const FormsRuntime::Program& program, const std::function<void()>& scenario) override {
        // Main runs message loops of its own, so the scenario starts once it returns, from the
        // runtime's message loop.
        static std::pair<const FormsRuntime::Program*, const std::function<void()>*> running;
        static UINT_PTR scenarioTimer = 0;
        running = {&program, &scenario};
        FormsRuntime::Program wrapped = program;
        wrapped.main = [] {
            running.first->main();
            scenarioTimer = SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR timer, DWORD) {
                KillTimer(nullptr, timer);
                scenarioTimer = 0;
                RunScenario(*running.second);
                for (HWND window : TopLevelWindows())
                    if (FormWindow::Of(window) && IsWindowVisible(window))
                        SendMessageW(window, WM_CLOSE, 0, 0);
            });
        };
        announced = {};
        const HWINEVENTHOOK hook =
            SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                            &OnWinEvent, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        const int status = FormsRuntime::Start(0, nullptr, wrapped);
        UnhookWinEvent(hook);
        // A program that leaves no window after Main never gets to the scenario; its timer must
        // not fire in the next run, with that run's Main still going.
        if (scenarioTimer != 0) {
            KillTimer(nullptr, scenarioTimer);
            scenarioTimer = 0;
        }
        return status;
    }

    int CountShown(std::string_view window) override {
        Pump();
        return int(std::ranges::count_if(TopLevelWindows(), [&](HWND shown) {
            const FormWindow* form = FormWindow::Of(shown);
            return form && form->Settled().name == window && IsWindowVisible(shown);
        }));
    }

    WindowLook Look(std::string_view name) override {
        const FormWindow& form = Window(name);
        HWND window = form.Handle();
        const auto style = GetWindowLongPtrW(window, GWL_STYLE);
        RECT client{}, frame{};
        GetClientRect(window, &client);
        GetWindowRect(window, &frame);
        MONITORINFO monitor{sizeof monitor, {}, {}, 0};
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        // Without an icon of its own, no bitmap is read and the size stays 0.
        ICONINFO icon{};
        GetIconInfo(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)), &icon);
        const FormsRuntime::win32::Bitmap colour{icon.hbmColor}, mask{icon.hbmMask};
        BITMAP image{};
        GetObjectW(colour.get(), sizeof image, &image);
        const bool systemMenu = style & WS_SYSMENU;
        return {.caption = Utf8(WindowText(window)),
                .titleBar = (style & WS_CAPTION) == WS_CAPTION,
                .minimizeButton = systemMenu && (style & WS_MINIMIZEBOX),
                .maximizeButton = systemMenu && (style & WS_MAXIMIZEBOX),
                .resizable = (style & WS_THICKFRAME) != 0,
                .taskBarButton = !(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
                                 GetWindow(window, GW_OWNER) == nullptr,
                .centred = std::abs(frame.left + frame.right - work.left - work.right) <= 2 &&
                           std::abs(frame.top + frame.bottom - work.top - work.bottom) <= 2,
                .clientWidth = Unscaled(form, client.right),
                .clientHeight = Unscaled(form, client.bottom),
                .iconSize = Unscaled(form, image.bmWidth)};
    }

    // Sized by the difference between frame and client, twice: a menu bar that wraps at the new
    // width takes more of the frame.
    void Resize(std::string_view name, int clientWidth, int clientHeight) override {
        const FormWindow& form = Window(name);
        const SIZE wanted{Scaled(clientWidth, form.Dpi()), Scaled(clientHeight, form.Dpi())};
        for (int pass = 0; pass < 2; ++pass) {
            RECT frame{}, client{};
            GetWindowRect(form.Handle(), &frame);
            GetClientRect(form.Handle(), &client);
            SetWindowPos(form.Handle(), nullptr, 0, 0,
                         frame.right - frame.left + wanted.cx - client.right,
                         frame.bottom - frame.top + wanted.cy - client.bottom,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Pump();
    }

    bool OnScreenAsPainted(std::string_view name) override {
        const FormWindow& form = Window(name);
        const Snapshot painted = Capture(form, false);
        // Wine hands what was painted to the X server, which may show it a moment later. The
        // wait runs no message of this program: a window that was not painted stays unseen.
        for (int look = 0; look < 50; ++look, Sleep(20))
            if (Capture(form, true).pixels == painted.pixels)
                return true;
        return false;
    }

    Snapshot Grab(std::string_view name) override {
        Pump();
        return Capture(Window(name), false);
    }

    Rect Geometry(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        const RECT box = Find(form, name).box;
        return {Unscaled(form, box.left), Unscaled(form, box.top),
                Unscaled(form, box.right - box.left), Unscaled(form, box.bottom - box.top)};
    }

    std::string Text(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        if (const auto entry = FindMenu(GetMenu(form.Handle()), form, name)) {
            wchar_t text[256];
            GetMenuStringW(entry->first, entry->second, text, 256, MF_BYPOSITION);
            return WithoutAccessKeys(Utf8(text));
        }
        const std::size_t index = Find(form, name).index;
        const FormsRuntime::Text text = form.ControlText(index);
        const std::wstring_view shown(FormsRuntime::win32::Wide(text), text.size());
        const bool button =
            form.Settled().controls[index].kind == FormsRuntime::ControlKind::CommandButton;
        return button ? WithoutAccessKeys(Utf8(shown)) : Utf8(shown);
    }

    Font FontOf(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        const Control control = Find(form, name);
        HFONT font = control.window
                         ? reinterpret_cast<HFONT>(SendMessageW(control.window, WM_GETFONT, 0, 0))
                         : form.ControlFont(control.index);
        LOGFONTW logical{};
        GetObjectW(font, sizeof logical, &logical);
        return {Utf8(logical.lfFaceName), Unscaled(form, std::abs(logical.lfHeight)),
                int(logical.lfWeight),    logical.lfItalic != 0,
                logical.lfUnderline != 0, logical.lfStrikeOut != 0};
    }

    // A windowed control and the menu bar speak through the system's own objects, which Wine
    // leaves without roles (its objects report the generic client role), without a menu bar
    // object and without the annotation service that names them; the driver reads only what the
    // runtime itself serves, the form's client area and the labels in it.
    std::string AccessibilityUnavailableFor(std::string_view window,
                                            std::string_view name) override {
        const FormWindow& form = Window(window);
        return FindMenu(GetMenu(form.Handle()), form, name) || Find(form, name).window
                   ? "it speaks through the system's own object, which Wine leaves without role "
                     "and name"
                   : "";
    }

    // Where the runtime announces through UI Automation notifications, this driver does not
    // read them; on Wine it does not.
    std::vector<std::string> Announcements() override {
        if (FormsRuntime::win32::AnnouncesThroughUiaNotifications())
            throw std::logic_error("Announcements: this Windows announces through UI Automation "
                                   "notifications, which the Win32 driver does not read");
        Pump();
        return std::exchange(announced.texts, {});
    }

    // As a screen reader finds a label: the simple child of the form's client object at the
    // label's place, among the children it enumerates.
    Accessible AccessibleOf(std::string_view window, std::string_view name) override {
        Pump();
        const FormWindow& form = Window(window);
        const AccessiblePtr client = ObjectOf(form.Handle(), OBJID_CLIENT);
        if (!client)
            return {Role::Other, "(the window has no accessible client area)", {}};
        const RECT box = Find(form, name).box;
        POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
        ClientToScreen(form.Handle(), &centre);
        Accessible found{Role::Other, "(not among the window's accessible children)", {}};
        for (VARIANT& child : ChildrenOf(*client)) {
            long x = 0, y = 0, width = 0, height = 0;
            if (child.vt == VT_I4 &&
                SUCCEEDED(client->accLocation(&x, &y, &width, &height, child)) && centre.x >= x &&
                centre.x < x + width && centre.y >= y && centre.y < y + height) {
                VARIANT role{};
                const bool label = SUCCEEDED(client->get_accRole(child, &role)) &&
                                   role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_STATICTEXT;
                POINT corner{x, y};
                ScreenToClient(form.Handle(), &corner);
                found = {label ? Role::StaticText : Role::Other,
                         NameOf(*client, child.lVal),
                         {Unscaled(form, corner.x), Unscaled(form, corner.y), Unscaled(form, width),
                          Unscaled(form, height)}};
            }
            VariantClear(&child);
        }
        return found;
    }

    // The windowed control that the system finds there, which lies above painted ones; else the
    // painted one listed first.
    std::string ControlAt(std::string_view window, Point point) override {
        const FormWindow& form = Window(window);
        const POINT at{Scaled(point.x, form.Dpi()), Scaled(point.y, form.Dpi())};
        POINT onScreen = at;
        ClientToScreen(form.Handle(), &onScreen);
        const HWND hit = WindowFromPoint(onScreen);
        const auto& controls = form.Settled().controls;
        for (const bool windowed : {true, false})
            for (std::size_t i = 0; i < controls.size(); ++i)
                if (const Control control = ControlOf(form, i);
                    (control.window != nullptr) == windowed &&
                    (windowed ? control.window == hit : PtInRect(&control.box, at) != 0))
                    return std::string(controls[i].name);
        return {};
    }

    std::string Focused(std::string_view window) override {
        Pump();
        const FormWindow& form = Window(window);
        for (std::size_t i = 0; i < form.Settled().controls.size(); ++i)
            if (form.ControlWindow(i) != nullptr && form.ControlWindow(i) == GetFocus())
                return std::string(form.Settled().controls[i].name);
        return {};
    }

    // A windowed control takes the click in its own client area, a painted one in its window's.
    void Click(std::string_view window, std::string_view name) override {
        const FormWindow& form = Window(window);
        const auto& menus = form.Settled().menus;
        if (const auto menu = std::ranges::find(menus, name, &FormsRuntime::SettledMenu::name);
            menu != menus.end()) {
            PostMessageW(form.Handle(), WM_COMMAND,
                         FormWindow::MenuId(std::size_t(menu - menus.begin())), 0);
        } else {
            const Control control = Find(form, name);
            const HWND target = control.window ? control.window : form.Handle();
            POINT centre{(control.box.left + control.box.right) / 2,
                         (control.box.top + control.box.bottom) / 2};
            MapWindowPoints(form.Handle(), target, &centre, 1);
            SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
            SendMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
        }
        Pump();
    }

    void Paste(std::string_view window, std::string_view name, std::string_view text) override {
        SetWindowTextW(ChildWindow(window, name), FormsRuntime::win32::WideFromUtf8(text).c_str());
        Pump();
    }

    void Type(std::string_view window, std::string_view name, std::string_view text) override {
        HWND edit = ChildWindow(window, name);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, WPARAM(-1), -1);
        for (const wchar_t unit : FormsRuntime::win32::WideFromUtf8(text))
            SendMessageW(edit, WM_CHAR, unit, 1);
        Pump();
    }

    // To the control that has the focus, if it is in the window.
    void Press(std::string_view window, Key key) override {
        HWND form = Window(window).Handle();
        HWND focus = GetFocus();
        constexpr UINT keys[] = {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB, VK_F1};
        PressKey(GetAncestor(focus, GA_ROOT) == form ? focus : form, keys[int(key)]);
        Pump();
    }

    MessageBoxSeen AnswerMessageBox(Answer answer, const std::function<void()>& action) override {
        MessageBoxSeen seen;
        WhileBoxOpens(
            [&](HWND box) {
                seen.title = Utf8(WindowText(box));
                seen.prompt = Utf8(WindowText(GetDlgItem(box, 0xFFFF)));
                for (HWND child = GetWindow(box, GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    if (auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)))
                        seen.icon = IconName(icon);
                    const auto code = SendMessageW(child, WM_GETDLGCODE, 0, 0);
                    if (!(code & DLGC_BUTTON))
                        continue;
                    seen.buttons.push_back(WithoutAccessKeys(Utf8(WindowText(child))));
                    if (code & DLGC_DEFPUSHBUTTON)
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
                // Yes and No as the buttons are clicked, Return and Escape as keys.
                constexpr UINT codes[] = {IDYES, IDNO, VK_RETURN, VK_ESCAPE};
                if (answer == Answer::Yes || answer == Answer::No)
                    PostMessageW(box, WM_COMMAND, codes[int(answer)], 0);
                else
                    PressKey(GetFocus(), codes[int(answer)]);
            },
            action);
        Pump();
        return seen;
    }

protected:
    void PressCloseBox(std::string_view window) override {
        SendMessageW(Window(window).Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }

    Rgb ButtonFace() override {
        const COLORREF colour = GetSysColor(COLOR_BTNFACE);
        return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    }

    // As the runtime decodes it, through the Windows Imaging Component.
    std::pair<Rgb, int> PictureSample(std::string_view picture, Point point) override {
        const auto decoded = FormsRuntime::win32::LoadPicture(picture, 96, "test");
        BITMAP info{};
        GetObjectW(decoded.bitmap.get(), sizeof info, &info);
        const BYTE* pixel =
            static_cast<const BYTE*>(info.bmBits) + point.y * info.bmWidthBytes + point.x * 4;
        return {{pixel[2], pixel[1], pixel[0]}, pixel[3]};
    }
};

} // namespace

Driver& Current() {
    static Win32Driver driver;
    return driver;
}

} // namespace TestDriver
