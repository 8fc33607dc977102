#include "ui/accessible_win32.h"

#include <windows.h>

#include <oleacc.h>

#include <optional>
#include <utility>

#include "core/accessible_facts.h"
#include "core/com_win32.h"
#include "core/system_library_win32.h"
#include "ui/child_control_win32.h"

namespace zorvo::ui {

namespace {

/// IAccessible. Spelled out: MinGW's IID_IAccessible is oleacc.dll's data export, which without
/// dllimport names the bytes of its import thunk instead of the GUID.
constexpr GUID kIidAccessible{
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct OleaccApi {
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
};

const OleaccApi& oleacc() noexcept {
    static const OleaccApi api = [] {
        const HMODULE library = systemLibrary(L"oleacc.dll");
        return OleaccApi{
            systemFunction<decltype(::LresultFromObject)>(library, "LresultFromObject"),
            systemFunction<decltype(::CreateStdAccessibleObject)>(library,
                                                                  "CreateStdAccessibleObject"),
        };
    }();
    return api;
}

/// The object is handed to another process through COM, which the thread must have joined; it
/// stays in its apartment until the program ends.
bool comReady() noexcept {
    if (!ole().complete) {
        return false;
    }
    static const ComApartment apartment;
    return SUCCEEDED(apartment.result());
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

LONG roleCode(AccessibleRole role) {
    return role == AccessibleRole::Link ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_PUSHBUTTON;
}

LONG stateCode(unsigned state) {
    LONG code = 0;
    code |= (state & kStateInvisible) != 0 ? STATE_SYSTEM_INVISIBLE : 0;
    code |= (state & kStateUnavailable) != 0 ? STATE_SYSTEM_UNAVAILABLE : 0;
    code |= (state & kStateDefault) != 0 ? STATE_SYSTEM_DEFAULT : 0;
    code |= (state & kStateLinked) != 0 ? STATE_SYSTEM_LINKED : 0;
    return code;
}

/// The system's object for a window, with what our facts say put over it. Every call comes in on
/// the thread of the window (the object lives in its single-threaded apartment).
class AccessibleControl final : public IAccessible, public IOleWindow {
public:
    AccessibleControl(std::shared_ptr<AccessibleLink> link, HWND window,
                      ComPtr<IAccessible> standard)
        : link_(std::move(link)), window_(window), standard_(std::move(standard)) {}
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;
    virtual ~AccessibleControl() = default;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDispatch) ||
            IsEqualGUID(iid, kIidAccessible)) {
            *object = static_cast<IAccessible*>(this);
        } else if (IsEqualGUID(iid, IID_IOleWindow)) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this; // NOLINT(cppcoreguidelines-owning-memory): COM's own lifetime
        }
        return left;
    }

    // IDispatch: readers use the IAccessible methods themselves.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
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

    // IOleWindow: which window the object stands for.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible: ours where the facts say something, the system's everywhere else.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        const auto facts = factsFor(child);
        if (!facts || (facts->role == AccessibleRole::Unchanged && facts->name.empty())) {
            return standard_->get_accName(child, name);
        }
        return giveText(facts->name, name);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        const auto facts = buttonFactsFor(child);
        if (!facts) {
            return standard_->get_accRole(child, role);
        }
        return giveNumber(roleCode(facts->role), role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const auto facts = buttonFactsFor(child);
        if (!facts) {
            return standard_->get_accState(child, state);
        }
        return giveNumber(stateCode(facts->state), state);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        const auto facts = buttonFactsFor(child);
        if (!facts) {
            return standard_->get_accDefaultAction(child, action);
        }
        if (!facts->pressable()) {
            if (action != nullptr) {
                *action = nullptr;
            }
            return S_FALSE;
        }
        return giveText(facts->defaultAction, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const auto facts = buttonFactsFor(child);
        if (!facts) {
            return standard_->accDoDefaultAction(child);
        }
        if (!facts->pressable() || link_->control == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        // Later, from the window's queue: the click may open a message box, and the reader must
        // not wait for the user to answer it.
        link_->control->pressLater();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    /// Our facts about the object itself (not one of its children) while its control lives.
    std::optional<AccessibleFacts> factsFor(const VARIANT& child) const noexcept {
        if (!isSelf(child) || link_->control == nullptr) {
            return std::nullopt;
        }
        try {
            return link_->control->accessibleFacts();
        } catch (...) {
            return std::nullopt; // out of memory: the system's description will do
        }
    }
    /// The facts when they make the object a button or a link.
    std::optional<AccessibleFacts> buttonFactsFor(const VARIANT& child) const noexcept {
        auto facts = factsFor(child);
        if (facts && facts->role == AccessibleRole::Unchanged) {
            return std::nullopt;
        }
        return facts;
    }
    static HRESULT giveNumber(LONG value, VARIANT* out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        out->vt = VT_I4;
        out->lVal = value;
        return S_OK;
    }
    static HRESULT giveText(const std::wstring& text, BSTR* out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = ole().SysAllocString(text.c_str());
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    ULONG references_ = 1;
    std::shared_ptr<AccessibleLink> link_;
    HWND window_;
    ComPtr<IAccessible> standard_;
};

} // namespace

LRESULT answerGetObject(const std::shared_ptr<AccessibleLink>& link, HWND window, WPARAM wParam,
                        LPARAM lParam) noexcept {
    // The object ID comes as a 32-bit value, sign-extended or not.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !link ||
        link->control == nullptr) {
        return 0;
    }
    try {
        if (!link->control->accessibleFacts()) {
            return 0;
        }
    } catch (...) {
        return 0;
    }
    const OleaccApi& api = oleacc();
    if (api.lresultFromObject == nullptr || api.createStdAccessibleObject == nullptr ||
        !comReady()) {
        return 0;
    }
    ComPtr<IAccessible> standard;
    if (FAILED(api.createStdAccessibleObject(window, OBJID_CLIENT, kIidAccessible,
                                             standard.putVoid())) ||
        standard.get() == nullptr) {
        return 0;
    }
    // A new object at every question; LresultFromObject keeps its own reference for the reader.
    auto* object = new (std::nothrow) AccessibleControl(link, window, std::move(standard));
    if (object == nullptr) {
        return 0;
    }
    const LRESULT result =
        api.lresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result > 0 ? result : 0;
}

} // namespace zorvo::ui
