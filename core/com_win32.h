#pragma once
// COM for the few moments that need it: the functions of ole32 and oleaut32, loaded when first
// needed rather than at every start, and owners for the thread's apartment, interface pointers,
// VARIANTs, BSTRs and the exception details that IDispatch::Invoke fills in. Each owner frees
// what it holds exactly once.

#include <windows.h>

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace zorvo {

/// COM and OLE Automation, loaded when a shutdown or reboot is due rather than at every start.
struct OleApi {
    decltype(&::CoInitializeEx) CoInitializeEx = nullptr;
    decltype(&::CoUninitialize) CoUninitialize = nullptr;
    decltype(&::CoGetObject) CoGetObject = nullptr;
    decltype(&::SysAllocString) SysAllocString = nullptr;
    decltype(&::SysFreeString) SysFreeString = nullptr;
    decltype(&::VariantInit) VariantInit = nullptr;
    decltype(&::VariantClear) VariantClear = nullptr;
    decltype(&::VariantChangeType) VariantChangeType = nullptr;

    /// Every one of them was found.
    bool complete = false;
};

/// The functions, loaded at the first call; see `complete` before using any.
const OleApi& ole() noexcept;

/// COM for the calling thread while it lives; an apartment already set up in another mode is
/// used as it is.
class ComApartment {
public:
    ComApartment() : result_(ole().CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            ole().CoUninitialize();
        }
    }
    HRESULT result() const { return result_ == RPC_E_CHANGED_MODE ? S_OK : result_; }

private:
    HRESULT result_;
};

template <typename T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr old(std::move(*this));
        pointer_ = std::exchange(other.pointer_, nullptr);
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    void** putVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    T* pointer_ = nullptr;
};

class Variant {
public:
    Variant() { ole().VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ole().VariantClear(&value_); }
    VARIANT* get() { return &value_; }
    VARIANT* operator->() { return &value_; }
    const VARIANT* operator->() const { return &value_; }

private:
    VARIANT value_;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : value_(ole().SysAllocString(text)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ole().SysFreeString(value_); }
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

/// The exception details that Invoke may fill in; their strings are freed with it.
class ExceptionInfo {
public:
    ExceptionInfo() = default;
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo() {
        ole().SysFreeString(info_.bstrSource);
        ole().SysFreeString(info_.bstrDescription);
        ole().SysFreeString(info_.bstrHelpFile);
    }
    EXCEPINFO* get() { return &info_; }

    /// The error behind DISP_E_EXCEPTION, which says only that the object raised one.
    HRESULT cause(HRESULT invokeResult) {
        if (invokeResult != DISP_E_EXCEPTION) {
            return invokeResult;
        }
        if (info_.pfnDeferredFillIn != nullptr) {
            info_.pfnDeferredFillIn(&info_);
        }
        if (FAILED(info_.scode)) {
            return info_.scode;
        }
        return invokeResult;
    }

private:
    EXCEPINFO info_{};
};

} // namespace zorvo
