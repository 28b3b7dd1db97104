#include "runtime/win32/Accessibility.h"

#include "runtime/win32/ClientAccessible.h"
#include "runtime/win32/FormWindow.h"

#include <algorithm>
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

// UI Automation notifications, where this Windows has them (10 1709 and later). Wine's
// (Wine 10) takes each notification, says it succeeded and passes it to no one, so on Wine the
// labels are live regions as on older Windows.
const Notifications& UiaNotifications() {
    static const Notifications found = [] {
        HMODULE system = GetModuleHandleW(L"ntdll.dll");
        if (system != nullptr && GetProcAddress(system, "wine_get_version") != nullptr)
            return Notifications{};
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

LONG ChildId(const FormWindow& form, std::size_t control) {
    const auto order = ReadingOrder(form, form.Settled().controls[control].container);
    return static_cast<LONG>(std::ranges::find(order, control) - order.begin()) + 1;
}

// Calls `use` with the system's annotations for each label: its container and child identifier.
template <class Use> void AnnotateLabels(const FormWindow& form, Use use) {
    WithAnnotations([&](IAccPropServices& services) {
        const auto& controls = form.Settled().controls;
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].kind == ControlKind::Label)
                use(services, form.ContainerOf(i), static_cast<DWORD>(ChildId(form, i)));
    });
}

} // namespace

bool AnnouncesThroughUiaNotifications() {
    return UiaNotifications().raise != nullptr;
}

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
    const VARIANT polite = IntVariant(PoliteLiveRegion);
    AnnotateLabels(form_, [&](IAccPropServices& services, HWND container, DWORD id) {
        services.SetHwndProp(container, static_cast<DWORD>(OBJID_CLIENT), id, LiveSettingProperty,
                             polite);
    });
}

void Accessibility::Withdraw() {
    for (auto& [container, object] : objects_) {
        object->Disconnect();
        static_cast<IAccessible*>(object)->Release();
    }
    objects_.clear();
    if (!std::exchange(marked_, false))
        return;
    MSAAPROPID live = LiveSettingProperty;
    AnnotateLabels(form_, [&](IAccPropServices& services, HWND container, DWORD id) {
        services.ClearHwndProps(container, static_cast<DWORD>(OBJID_CLIENT), id, &live, 1);
    });
}

LRESULT Accessibility::Answer(HWND container, WPARAM flags) {
    auto known = std::ranges::find(objects_, container, &decltype(objects_)::value_type::first);
    if (known == objects_.end()) {
        IAccessible* standard = nullptr;
        if (FAILED(CreateStdAccessibleObject(container, OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&standard))))
            return 0; // the system's default answer
        objects_.emplace_back(container, ClientAccessible::Create(form_, container, standard));
        known = objects_.end() - 1;
    }
    return LresultFromObject(IID_IAccessible, flags, static_cast<IAccessible*>(known->second));
}

void Accessibility::Announce(std::size_t control, TextView caption) const {
    const HWND container = form_.ContainerOf(control);
    const LONG id = ChildId(form_, control);
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
