#include "runtime/win32/ClientAccessible.h"

#include "runtime/win32/FormWindow.h"

#include <algorithm>
#include <optional>
#include <ranges>

namespace FormsRuntime::win32 {

std::vector<std::size_t> ReadingOrder(const FormWindow& form,
                                      std::optional<std::size_t> container) {
    const auto& controls = form.Settled().controls;
    std::vector<std::size_t> children;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].container == container &&
            (form.ControlWindow(i) != nullptr || controls[i].kind == ControlKind::Label))
            children.push_back(i);
    std::ranges::stable_sort(children, {}, [&](std::size_t i) {
        return std::pair{controls[i].box.y, controls[i].box.x};
    });
    return children;
}

VARIANT IntVariant(LONG value) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}

namespace {

// COM objects go in their own Release, never through an interface's destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

class ClientArea final : public ClientAccessible {
public:
    ClientArea(const FormWindow& form, HWND container, IAccessible* standard)
        : form_(&form), container_(container), standard_(standard),
          children_(ReadingOrder(form, form.FrameOf(container))) {}
    ClientArea(const ClientArea&) = delete;
    ClientArea& operator=(const ClientArea&) = delete;

    void Disconnect() override { form_ = nullptr; }

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
        return WithoutLabelText(&IAccessible::get_accValue, child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return WithoutLabelText(&IAccessible::get_accDescription, child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.get_accRole(id, role); },
            [&](std::size_t) {
                *role = IntVariant(ROLE_SYSTEM_STATICTEXT);
                return S_OK;
            });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return object.get_accState(id, state); },
            [&](std::size_t) {
                *state = IntVariant(STATE_SYSTEM_READONLY |
                                    (IsWindowVisible(container_) ? 0 : STATE_SYSTEM_INVISIBLE));
                return S_OK;
            });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return WithoutLabelText(&IAccessible::get_accHelp, child, help);
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
        return WithoutLabelText(&IAccessible::get_accKeyboardShortcut, child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return WithoutLabelText(&IAccessible::get_accDefaultAction, child, action);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr)
            return E_POINTER;
        VariantInit(focus);
        const HWND focused = GetFocus();
        if (focused != nullptr && focused == container_) {
            *focus = IntVariant(CHILDID_SELF);
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
    // The topmost control there: the last in paint order.
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
        *found = IntVariant(CHILDID_SELF);
        if (form_ == nullptr)
            return S_OK;
        const HWND hit = ChildWindowFromPointEx(container_, point, CWP_SKIPINVISIBLE);
        for (const std::size_t control : std::views::reverse(form_->Settled().paintOrder)) {
            if (std::ranges::find(children_, control) == children_.end())
                continue;
            const HWND window = form_->ControlWindow(control);
            const RECT box = OnScreen(control);
            if (window != nullptr ? window == hit : PtInRect(&box, POINT{x, y}) != 0)
                return Child(IdOf(control), found);
        }
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
    ~ClientArea() { standard_->Release(); }

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
        const HRESULT answer = ask(*object, IntVariant(CHILDID_SELF));
        object->Release();
        return answer;
    }

    // A text that labels have none of; the area itself and child windows answer as their
    // objects do.
    HRESULT WithoutLabelText(decltype(&IAccessible::get_accValue) ask, const VARIANT& child,
                             BSTR* text) const {
        return Answer(
            child, [&](IAccessible& object, VARIANT id) { return (object.*ask)(id, text); },
            [&](std::size_t) { return None(text); });
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
            *out = IntVariant(id);
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

} // namespace

ClientAccessible* ClientAccessible::Create(const FormWindow& form, HWND container,
                                           IAccessible* standard) {
    return new ClientArea(form, container, standard);
}

} // namespace FormsRuntime::win32
