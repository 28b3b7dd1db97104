#include "runtime/win32/Accessibility.h"

#include "runtime/win32/FormWindow.h"

#include <algorithm>
#include <oleacc.h>
#include <optional>
#include <uiautomationcore.h>

namespace FormsRuntime::win32 {
namespace {

// What the system's headers leave out: the live-region property and the notification kinds of
// Windows 10 1709.
constexpr GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG PoliteLiveRegion = 1;
constexpr int NotificationKindOther = 4;
constexpr int NotificationProcessingAll = 2; // each in turn, none cut short

using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple*, int kind, int processing,
                                           BSTR text, BSTR activity);
using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);

struct Notifications {
    RaiseNotification raise = nullptr;
    HostProvider host = nullptr;
};

// UI Automation notifications, where this Windows has them (10 1709 and later; not Wine).
const Notifications& UiaNotifications() {
    static const Notifications found = [] {
        HMODULE core =
            LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (core == nullptr)
            return Notifications{};
        const auto find = [&](const char* name) {
            return reinterpret_cast<void (*)()>(GetProcAddress(core, name));
        };
        Notifications both{reinterpret_cast<RaiseNotification>(find("UiaRaiseNotificationEvent")),
                           reinterpret_cast<HostProvider>(find("UiaHostProviderFromHwnd"))};
        return both.raise && both.host ? both : Notifications{};
    }();
    return found;
}

// Calls `use` with the system's accessibility annotations; nothing where it has none, since
// then no screen reader reads them either.
template <class Use> void WithAnnotations(Use use) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services))))
        return;
    use(*services);
    services->Release();
}

// The controls a screen reader finds in a container, in reading order: top to bottom, then
// left to right. Their child identifiers count from 1 in this order.
std::vector<std::size_t> ReadingOrder(const WindowLayout& layout, std::string_view container) {
    const auto& controls = layout.controls;
    std::vector<std::size_t> children;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].container == container &&
            (IsWindowed(controls[i].kind) || controls[i].kind == ControlKind::Label))
            children.push_back(i);
    std::ranges::stable_sort(children, {}, [&](std::size_t i) {
        return std::pair{controls[i].top, controls[i].left};
    });
    return children;
}

LONG ChildId(const WindowLayout& layout, std::size_t control) {
    const auto order = ReadingOrder(layout, layout.controls[control].container);
    return static_cast<LONG>(std::ranges::find(order, control) - order.begin()) + 1;
}

HWND ContainerOf(const FormWindow& form, std::size_t control) {
    const auto& controls = form.Layout().controls;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == controls[control].container)
            return form.ControlWindow(i);
    return form.Handle();
}

VARIANT ChildVariant(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

} // namespace

// COM objects go in their own Release, never through an interface's destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// A container's client area as screen readers see it: the system's object for the area itself
// (its name, parent, state), with the container's controls as children.
class ClientAccessible final : public IAccessible, public IOleWindow {
public:
    ClientAccessible(const FormWindow& form, HWND container, IAccessible* standard)
        : form_(&form), container_(container), standard_(standard) {
        const auto& controls = form.Layout().controls;
        std::string_view name;
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (form.ControlWindow(i) == container)
                name = controls[i].name;
        children_ = ReadingOrder(form.Layout(), name);
    }
    ClientAccessible(const ClientAccessible&) = delete;
    ClientAccessible& operator=(const ClientAccessible&) = delete;

    void Disconnect() { form_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
            *object = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow)
            *object = static_cast<IOleWindow*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }

    // IOleWindow: the container's window, which WindowFromAccessibleObject asks for.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr)
            return E_POINTER;
        *window = container_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch: screen readers call the interface itself, not through type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = form_ ? static_cast<long>(children_.size()) : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        const auto control = ControlOf(child);
        return control ? WindowObject(*control, object) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.get_accName(id, name); },
            [&](std::size_t control) {
                const Text caption = form_->ControlText(control);
                *name = SysAllocStringLen(Wide(caption), static_cast<UINT>(caption.size()));
                return *name != nullptr ? S_OK : E_OUTOFMEMORY;
            });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.get_accValue(id, value); },
            [&](std::size_t) { return None(value); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Answer(
            child,
            [&](IAccessible& object, VARIANT id) { return object.get_accDescription(id, text); },
            [&](std::size_t) { return None(text); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.get_accRole(id, role); },
            [&](std::size_t) {
                *role = ChildVariant(ROLE_SYSTEM_STATICTEXT);
                return S_OK;
            });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.get_accState(id, state); },
            [&](std::size_t) {
                *state = ChildVariant(STATE_SYSTEM_READONLY |
                                      (IsWindowVisible(container_) ? 0 : STATE_SYSTEM_INVISIBLE));
                return S_OK;
            });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.get_accHelp(id, help); },
            [&](std::size_t) { return None(help); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return Answer(
            child,
            [&](IAccessible& object, VARIANT id) {
                return object.get_accHelpTopic(file, id, topic);
            },
            [&](std::size_t) {
                *topic = -1;
                return None(file);
            });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return Answer(
            child,
            [&](IAccessible& object, VARIANT id) {
                return object.get_accKeyboardShortcut(id, keys);
            },
            [&](std::size_t) { return None(keys); });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Answer(
            child,
            [&](IAccessible& object, VARIANT id) {
                return object.get_accDefaultAction(id, action);
            },
            [&](std::size_t) { return None(action); });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr)
            return E_POINTER;
        VariantInit(focus);
        const HWND focused = GetFocus();
        if (focused != nullptr && focused == container_) {
            *focus = ChildVariant(CHILDID_SELF);
            return S_OK;
        }
        for (std::size_t i = 0; form_ && focused && i < children_.size(); ++i)
            if (const HWND window = form_->ControlWindow(children_[i]);
                window && (window == focused || IsChild(window, focused)))
                return Child(static_cast<LONG>(i) + 1, focus);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr)
            return E_POINTER;
        VariantInit(selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.accSelect(flags, id); },
            [&](std::size_t) { return DISP_E_MEMBERNOTFOUND; });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return Answer(
            child,
            [&](IAccessible& object, VARIANT id) {
                return object.accLocation(left, top, width, height, id);
            },
            [&](std::size_t control) {
                const RECT box = OnScreen(control);
                *left = box.left;
                *top = box.top;
                *width = box.right - box.left;
                *height = box.bottom - box.top;
                return S_OK;
            });
    }
    // From the area itself to its first or last control; from a control to the one before or
    // after it in reading order.
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr)
            return E_POINTER;
        VariantInit(end);
        const bool self = start.vt == VT_I4 && start.lVal == CHILDID_SELF;
        const auto count = static_cast<LONG>(form_ ? children_.size() : 0);
        if (self && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD))
            return count == 0 ? S_FALSE : Child(direction == NAVDIR_FIRSTCHILD ? 1 : count, end);
        if (self)
            return standard_->accNavigate(direction, start, end);
        if (!ControlOf(start))
            return E_INVALIDARG;
        if (direction != NAVDIR_NEXT && direction != NAVDIR_PREVIOUS)
            return DISP_E_MEMBERNOTFOUND;
        const LONG next = start.lVal + (direction == NAVDIR_NEXT ? 1 : -1);
        return next < 1 || next > count ? S_FALSE : Child(next, end);
    }
    // Child windows lie above the labels; of the labels the one listed first lies on top.
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override {
        if (found == nullptr)
            return E_POINTER;
        VariantInit(found);
        POINT point{x, y};
        RECT client{};
        GetClientRect(container_, &client);
        ScreenToClient(container_, &point);
        if (!PtInRect(&client, point))
            return S_FALSE;
        const HWND hit = ChildWindowFromPointEx(container_, point, CWP_SKIPINVISIBLE);
        std::vector<std::size_t> stacked = form_ ? children_ : std::vector<std::size_t>{};
        std::ranges::sort(stacked);
        for (const bool windowed : {true, false})
            for (const std::size_t control : stacked) {
                const HWND window = form_->ControlWindow(control);
                const RECT box = OnScreen(control);
                if ((window != nullptr) == windowed &&
                    (windowed ? window == hit : PtInRect(&box, POINT{x, y}) != 0))
                    return Child(IdOf(control), found);
            }
        *found = ChildVariant(CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.accDoDefaultAction(id); },
            [&](std::size_t) { return DISP_E_MEMBERNOTFOUND; });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~ClientAccessible() { standard_->Release(); }

    // The control behind a child identifier; none for the area itself, an identifier out of
    // range, or once the window is gone.
    std::optional<std::size_t> ControlOf(const VARIANT& child) const {
        if (form_ == nullptr || child.vt != VT_I4 || child.lVal < 1 ||
            static_cast<std::size_t>(child.lVal) > children_.size())
            return std::nullopt;
        return children_[static_cast<std::size_t>(child.lVal) - 1];
    }
    LONG IdOf(std::size_t control) const {
        return static_cast<LONG>(std::ranges::find(children_, control) - children_.begin()) + 1;
    }

    // The area itself answers through the system's object; a child window through its own
    // object; a label through `label`.
    template <class Ask, class Label>
    HRESULT Answer(const VARIANT& child, Ask ask, Label label) const {
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF)
            return ask(*standard_, child);
        const auto control = ControlOf(child);
        if (!control)
            return E_INVALIDARG;
        const HWND window = form_->ControlWindow(*control);
        if (window == nullptr)
            return label(*control);
        IAccessible* object = nullptr;
        const HRESULT found =
            AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IID_IAccessible,
                                       reinterpret_cast<void**>(&object));
        if (FAILED(found))
            return found;
        const HRESULT answer = ask(*object, ChildVariant(CHILDID_SELF));
        object->Release();
        return answer;
    }

    // A child window's object; none for a label, which is no object of its own: its parent
    // answers for it.
    HRESULT WindowObject(std::size_t control, IDispatch** object) const {
        const HWND window = form_->ControlWindow(control);
        if (window == nullptr)
            return S_FALSE;
        return AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(object));
    }

    // A child as navigation and hit tests return it: a child window's object, a label's
    // identifier.
    HRESULT Child(LONG id, VARIANT* out) const {
        IDispatch* object = nullptr;
        const HRESULT result = WindowObject(children_[static_cast<std::size_t>(id) - 1], &object);
        if (FAILED(result))
            return result;
        if (object != nullptr) {
            out->vt = VT_DISPATCH;
            out->pdispVal = object;
        } else {
            *out = ChildVariant(id);
        }
        return S_OK;
    }

    static HRESULT None(BSTR* text) {
        *text = nullptr;
        return S_FALSE;
    }

    RECT OnScreen(std::size_t control) const {
        RECT box = form_->ControlBox(control);
        MapWindowPoints(form_->Handle(), nullptr, reinterpret_cast<POINT*>(&box), 2);
        return box;
    }

    LONG references_ = 1;
    const FormWindow* form_;
    HWND container_;
    IAccessible* standard_;
    std::vector<std::size_t> children_;
};

#pragma GCC diagnostic pop

void NameForScreenReaders(HWND control, TextView name) {
    if (name.empty())
        return;
    WithAnnotations([&](IAccPropServices& services) {
        services.SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                PROPID_ACC_NAME, WideString(name).c_str());
    });
}

void Accessibility::MarkLiveRegions() {
    if (UiaNotifications().raise != nullptr)
        return;
    marked_ = true;
    WithAnnotations([&](IAccPropServices& services) {
        const auto& controls = form_.Layout().controls;
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].kind == ControlKind::Label) {
                const VARIANT polite = ChildVariant(PoliteLiveRegion);
                services.SetHwndProp(ContainerOf(form_, i), static_cast<DWORD>(OBJID_CLIENT),
                                     static_cast<DWORD>(ChildId(form_.Layout(), i)),
                                     LiveSettingProperty, polite);
            }
    });
}

void Accessibility::Withdraw() {
    for (auto& [container, object] : objects_) {
        object->Disconnect();
        object->Release();
    }
    objects_.clear();
    if (!std::exchange(marked_, false))
        return;
    WithAnnotations([&](IAccPropServices& services) {
        const auto& controls = form_.Layout().controls;
        MSAAPROPID live = LiveSettingProperty;
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].kind == ControlKind::Label)
                services.ClearHwndProps(ContainerOf(form_, i), static_cast<DWORD>(OBJID_CLIENT),
                                        static_cast<DWORD>(ChildId(form_.Layout(), i)), &live, 1);
    });
}

LRESULT Accessibility::Answer(HWND container, WPARAM flags) {
    auto known = std::ranges::find(objects_, container, &decltype(objects_)::value_type::first);
    if (known == objects_.end()) {
        IAccessible* standard = nullptr;
        if (FAILED(CreateStdAccessibleObject(container, OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&standard))))
            return 0; // the system's default answer
        objects_.emplace_back(container, new ClientAccessible(form_, container, standard));
        known = objects_.end() - 1;
    }
    return LresultFromObject(IID_IAccessible, flags, static_cast<IAccessible*>(known->second));
}

void Accessibility::Announce(std::size_t control, TextView caption) const {
    const HWND container = ContainerOf(form_, control);
    const LONG id = ChildId(form_.Layout(), control);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, container, OBJID_CLIENT, id);
    const Notifications& notifications = UiaNotifications();
    if (notifications.raise == nullptr) {
        NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, container, OBJID_CLIENT, id);
        return;
    }
    IRawElementProviderSimple* window = nullptr;
    if (FAILED(notifications.host(container, &window)))
        return; // no UI Automation for this window: no client listens
    const BSTR text = SysAllocStringLen(Wide(caption), static_cast<UINT>(caption.size()));
    const BSTR activity = SysAllocString(L"FormsRuntime.Caption");
    notifications.raise(window, NotificationKindOther, NotificationProcessingAll, text, activity);
    SysFreeString(activity);
    SysFreeString(text);
    window->Release();
}

} // namespace FormsRuntime::win32
