#pragma once
// Owners for COM: the thread's apartment, interface pointers, VARIANTs, BSTRs and the exception
// details that IDispatch::Invoke fills in. Each frees what it holds exactly once.

#include <windows.h>

#include <objbase.h>
#include <oaidl.h>
#include <oleauto.h>

#include <utility>

namespace zorvo {

/// COM for the calling thread while it lives; an apartment already set up in another mode is
/// used as it is.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
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
    Variant() { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value_); }
    VARIANT* get() { return &value_; }
    VARIANT* operator->() { return &value_; }

private:
    VARIANT value_;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(value_); }
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
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
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
