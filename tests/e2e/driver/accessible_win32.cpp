#include <windows.h>

#include <oleacc.h>

#include <array>
#include <cwchar>
#include <stdexcept>

#include "driver_win32.h"

namespace zdrive {

namespace {

// Spelled out: MinGW's IID_IAccessible, linked without dllimport, names the import thunk.
constexpr GUID iid_accessible{
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::wstring hex(long long value) {
    std::array<wchar_t, 32> buffer{};
    std::swprintf(buffer.data(), buffer.size(), L"0x%llX", value);
    return buffer.data();
}

void need_com() {
    static const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(joined)) {
        throw std::runtime_error("CoInitializeEx failed: " + to_utf8(hex(joined)));
    }
}

class Accessible {
public:
    explicit Accessible(HWND control) {
        need_com();
        const HRESULT hr =
            AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), iid_accessible,
                                       reinterpret_cast<void**>(&object_));
        if (FAILED(hr) || object_ == nullptr) {
            throw std::runtime_error("AccessibleObjectFromWindow failed: " + to_utf8(hex(hr)));
        }
    }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;
    ~Accessible() { object_->Release(); }
    IAccessible* operator->() const { return object_; }

private:
    IAccessible* object_ = nullptr;
};

VARIANT self() {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    return child;
}

long long number_of(const VARIANT& value) {
    return value.vt == VT_I4 ? value.lVal : -1;
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
    const Accessible object(control);
    VARIANT role;
    VariantInit(&role);
    VARIANT state;
    VariantInit(&state);
    object->get_accRole(self(), &role);
    object->get_accState(self(), &state);
    const std::wstring name = text_of([&](BSTR* out) { return object->get_accName(self(), out); });
    const std::wstring action =
        text_of([&](BSTR* out) { return object->get_accDefaultAction(self(), out); });
    std::wstring answer = hex(number_of(role)) + L"\t" + hex(number_of(state)) + L"\t" +
                          escape_value(name) + L"\t" + escape_value(action);
    VariantClear(&role);
    VariantClear(&state);
    return answer;
}

std::wstring do_default_action(HWND control) {
    const Accessible object(control);
    return hex(static_cast<unsigned long>(object->accDoDefaultAction(self())));
}

} // namespace zdrive
