// Move-only owners for the few kinds of handle the driver holds.
#pragma once

#include <windows.h>

#include <utility>

namespace zdrive {

template <typename Traits> class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() = default;
    explicit unique_handle(pointer value) : value_(value) {}
    ~unique_handle() { reset(); }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept
        : value_(std::exchange(other.value_, Traits::invalid())) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.value_, Traits::invalid()));
        }
        return *this;
    }

    pointer get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::invalid(); }
    void reset(pointer value = Traits::invalid()) {
        if (value_ != Traits::invalid()) {
            Traits::close(value_);
        }
        value_ = value;
    }

private:
    pointer value_ = Traits::invalid();
};

struct kernel_handle_traits {
    using pointer = HANDLE;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { CloseHandle(value); }
};

struct view_traits {
    using pointer = void*;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { UnmapViewOfFile(value); }
};

struct hook_traits {
    using pointer = HHOOK;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { UnhookWindowsHookEx(value); }
};

struct module_traits {
    using pointer = HMODULE;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { FreeLibrary(value); }
};

using kernel_handle = unique_handle<kernel_handle_traits>;
using mapped_view = unique_handle<view_traits>;
using hook_handle = unique_handle<hook_traits>;
using module_handle = unique_handle<module_traits>;

} // namespace zdrive
