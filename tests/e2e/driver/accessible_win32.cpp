#include <windows.h>

#include <oleacc.h>

#include <memory>

#include "driver_win32.h"

namespace zdrive {

namespace {

// Spelled out: MinGW's IID_IAccessible, linked without dllimport, names the import thunk.
constexpr GUID iid_accessible{
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct release {
    void operator()(IUnknown* object) const { object->Release(); }
};

// The control's client object, as a screen reader in another process gets it.
std::unique_ptr<IAccessible, release> accessible(HWND control) {
    static const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    const HRESULT hr =
        FAILED(joined)
            ? joined
            : AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), iid_accessible,
                                         reinterpret_cast<void**>(&object));
    if (FAILED(hr) || object == nullptr) {
        throw Failure(L"no accessible object: " + hex(static_cast<unsigned long>(hr)));
    }
    return std::unique_ptr<IAccessible, release>(object);
}

VARIANT self() {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    return child;
}

// A number property (the role, the state) in hex; -1 when the object gives none.
template <typename Getter> std::wstring number_of(Getter get) {
    VARIANT value;
    VariantInit(&value);
    get(&value);
    const long long number = value.vt == VT_I4 ? value.lVal : -1;
    VariantClear(&value);
    return hex(static_cast<unsigned long long>(number));
}

// A text property; empty when the object has none.
template <typename Getter> std::wstring text_of(Getter get) {
    BSTR text = nullptr;
    const HRESULT hr = get(&text);
    std::wstring value = SUCCEEDED(hr) && text != nullptr ? std::wstring(text) : std::wstring();
    SysFreeString(text);
    return value;
}

} // namespace

std::wstring describe_accessible(HWND control) {
    const auto object = accessible(control);
    return number_of([&](VARIANT* out) { return object->get_accRole(self(), out); }) + L"\t" +
           number_of([&](VARIANT* out) { return object->get_accState(self(), out); }) + L"\t" +
           escape_value(text_of([&](BSTR* out) { return object->get_accName(self(), out); })) +
           L"\t" + escape_value(text_of([&](BSTR* out) {
               return object->get_accDefaultAction(self(), out);
           }));
}

std::wstring do_default_action(HWND control) {
    const auto object = accessible(control);
    return hex(static_cast<unsigned long>(object->accDoDefaultAction(self())));
}

} // namespace zdrive
