#include "power/power_actions_win32.h"

#include <windows.h>

#include <string>

#include "core/com_win32.h"
#include "power/power_capabilities_win32.h"

namespace zorvo {
namespace {

/// HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), spelled out: the macros' constants are long literals.
constexpr auto kModuleNotFound = static_cast<HRESULT>(0x8007007EU);

std::wstring hex(HRESULT value) {
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    auto bits = static_cast<unsigned long>(value);
    std::wstring text(8, L'0');
    for (std::size_t i = 8; i-- > 0;) {
        text[i] = kDigits[bits & 0xFU];
        bits >>= 4;
    }
    return L"0x" + text;
}

ActionResult failure(const std::wstring& what, HRESULT error) {
    return {false, what + L" (" + hex(error) + L")", static_cast<std::uint32_t>(error)};
}

HRESULT invoke(IDispatch* object, DISPID id, WORD flags, VARIANTARG* args, UINT argCount,
               Variant& result) {
    DISPPARAMS params{args, nullptr, argCount, 0};
    ExceptionInfo exception;
    UINT badArgument = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      result.get(), exception.get(), &badArgument);
    return exception.cause(hr);
}

HRESULT invokeByName(IDispatch* object, const wchar_t* name, VARIANTARG* args, UINT argCount,
                     Variant& result) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        return hr;
    }
    return invoke(object, id, DISPATCH_METHOD, args, argCount, result);
}

ComPtr<IDispatch> dispatchFrom(const Variant& value, HRESULT& hr) {
    ComPtr<IDispatch> object;
    if ((value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN) && value->punkVal != nullptr) {
        hr = value->punkVal->QueryInterface(IID_IDispatch, object.putVoid());
    } else {
        hr = DISP_E_TYPEMISMATCH;
    }
    return object;
}

/// Calls the method on one instance; a nonzero return value is a refusal.
ActionResult callMethod(IDispatch* instance, const wchar_t* method) {
    Variant returned;
    const HRESULT hr = invokeByName(instance, method, nullptr, 0, returned);
    if (FAILED(hr)) {
        return failure(L"вызов метода " + std::wstring(method) + L" службы WMI не выполнен", hr);
    }
    Variant code;
    if (returned->vt != VT_EMPTY &&
        SUCCEEDED(ole().VariantChangeType(code.get(), returned.get(), 0, VT_I4)) &&
        code->lVal != 0) {
        return {false,
                L"метод " + std::wstring(method) + L" службы WMI вернул код ошибки " +
                    std::to_wstring(code->lVal),
                static_cast<std::uint32_t>(code->lVal)};
    }
    return {};
}

ActionResult runRequest(const WmiRequest& request) {
    ComApartment apartment;
    if (FAILED(apartment.result())) {
        return failure(L"не удалось подготовить COM", apartment.result());
    }

    ComPtr<IDispatch> services;
    HRESULT hr = ole().CoGetObject(request.moniker, nullptr, IID_IDispatch, services.putVoid());
    if (FAILED(hr)) {
        return failure(L"служба WMI недоступна", hr);
    }

    Bstr query(request.query);
    if (query.get() == nullptr) {
        return failure(L"запрос к службе WMI не выполнен", E_OUTOFMEMORY);
    }
    VARIANTARG queryArgument;
    ole().VariantInit(&queryArgument);
    queryArgument.vt = VT_BSTR;
    queryArgument.bstrVal = query.get();
    Variant setValue;
    hr = invokeByName(services.get(), L"ExecQuery", &queryArgument, 1, setValue);
    ComPtr<IDispatch> set;
    if (SUCCEEDED(hr)) {
        set = dispatchFrom(setValue, hr);
    }
    if (FAILED(hr)) {
        return failure(L"запрос к службе WMI не выполнен", hr);
    }

    Variant enumValue;
    hr = invoke(set.get(), DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0,
                enumValue);
    ComPtr<IEnumVARIANT> items;
    if (SUCCEEDED(hr)) {
        if ((enumValue->vt == VT_UNKNOWN || enumValue->vt == VT_DISPATCH) &&
            enumValue->punkVal != nullptr) {
            hr = enumValue->punkVal->QueryInterface(IID_IEnumVARIANT, items.putVoid());
        } else {
            hr = DISP_E_TYPEMISMATCH;
        }
    }
    if (FAILED(hr)) {
        return failure(L"не удалось перебрать объекты службы WMI", hr);
    }

    for (int called = 0;; ++called) {
        Variant item;
        ULONG fetched = 0;
        hr = items->Next(1, item.get(), &fetched);
        if (FAILED(hr)) {
            return failure(L"не удалось перебрать объекты службы WMI", hr);
        }
        if (hr != S_OK || fetched == 0) {
            // No operating system object means nobody was asked: that is no success.
            if (called == 0) {
                return {false, L"служба WMI не нашла объект операционной системы"};
            }
            return {};
        }
        ComPtr<IDispatch> instance = dispatchFrom(item, hr);
        if (FAILED(hr)) {
            return failure(L"не удалось перебрать объекты службы WMI", hr);
        }
        ActionResult result = callMethod(instance.get(), request.method);
        if (!result.ok) {
            return result;
        }
    }
}

} // namespace

ActionResult PowerActionsWin32::runWmi(WmiMethod method) {
    if (!ole().complete) {
        return failure(L"не удалось загрузить системные библиотеки COM (ole32.dll, oleaut32.dll)",
                       kModuleNotFound);
    }
    try {
        return runRequest(wmiRequestFor(method));
    } catch (...) {
        return failure(L"недостаточно памяти для обращения к службе WMI", E_OUTOFMEMORY);
    }
}

void PowerActionsWin32::keepAwake(bool on) {
    hold(awake_.counting(on));
}

void PowerActionsWin32::powerSourceChanged() {
    hold(awake_.powerSourceChanged());
}

void PowerActionsWin32::hold(std::optional<AwakeHold> hold) {
    if (!hold) {
        return;
    }
    // ES_CONTINUOUS alone gives back what the last call asked for. A failure leaves the computer
    // as its settings say, which is all that can be had then.
    EXECUTION_STATE state = ES_CONTINUOUS;
    if (*hold != AwakeHold::None) {
        state |= ES_SYSTEM_REQUIRED;
    }
    if (*hold == AwakeHold::SystemAndDisplay) {
        state |= ES_DISPLAY_REQUIRED;
    }
    SetThreadExecutionState(state);
}

bool PowerActionsWin32::SystemPowerSource::lowPowerIdle() {
    PowerCapabilitiesWin32 capabilities;
    const std::optional<PowerCapabilities> answer = capabilities.query();
    return answer && answer->lowPowerIdle;
}

bool PowerActionsWin32::SystemPowerSource::onBattery() {
    // ACLineStatus is 0 offline, 1 online, 255 unknown: only a computer that says it is off the
    // mains counts as on battery.
    SYSTEM_POWER_STATUS status{};
    return GetSystemPowerStatus(&status) != FALSE && status.ACLineStatus == 0;
}

} // namespace zorvo
