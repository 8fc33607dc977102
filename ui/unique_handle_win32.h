#pragma once
// Move-only owners for Win32 handles. Each traits type names the handle type, its empty value and
// the call that frees it; copying is deleted so a handle is freed exactly once.

#include <windows.h>

#include <utility>

namespace zorvo::ui {

template <typename Traits> class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() noexcept = default;
    explicit unique_handle(pointer value) noexcept : value_(value) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~unique_handle() { close(); }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return Traits::valid(value_); }

    /// Gives up ownership without freeing.
    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept {
        if (value_ != value) {
            close();
            value_ = value;
        }
    }

private:
    void close() noexcept {
        if (Traits::valid(value_)) {
            Traits::close(value_);
        }
        value_ = Traits::invalid();
    }

    pointer value_ = Traits::invalid();
};

template <typename T> struct null_handle_traits {
    using pointer = T;
    static constexpr pointer invalid() noexcept { return nullptr; }
    static bool valid(const void* value) noexcept { return value != nullptr; }
};

struct window_traits : null_handle_traits<HWND> {
    static void close(HWND value) noexcept { DestroyWindow(value); }
};
struct menu_traits : null_handle_traits<HMENU> {
    static void close(HMENU value) noexcept { DestroyMenu(value); }
};
template <typename T> struct gdi_object_traits : null_handle_traits<T> {
    static void close(T value) noexcept { DeleteObject(value); }
};
/// Only for icons the program created itself; icons loaded with LR_SHARED belong to the system.
struct icon_traits : null_handle_traits<HICON> {
    static void close(HICON value) noexcept { DestroyIcon(value); }
};
struct accelerator_traits : null_handle_traits<HACCEL> {
    static void close(HACCEL value) noexcept { DestroyAcceleratorTable(value); }
};
struct dc_traits : null_handle_traits<HDC> {
    static void close(HDC value) noexcept { DeleteDC(value); }
};
/// Kernel handles, whose empty value is null (not INVALID_HANDLE_VALUE).
struct kernel_handle_traits : null_handle_traits<HANDLE> {
    static void close(HANDLE value) noexcept { CloseHandle(value); }
};

using unique_hwnd = unique_handle<window_traits>;
using unique_hmenu = unique_handle<menu_traits>;
using unique_hfont = unique_handle<gdi_object_traits<HFONT>>;
using unique_hbitmap = unique_handle<gdi_object_traits<HBITMAP>>;
using unique_hbrush = unique_handle<gdi_object_traits<HBRUSH>>;
using unique_hicon = unique_handle<icon_traits>;
using unique_haccel = unique_handle<accelerator_traits>;
using unique_hdc = unique_handle<dc_traits>;
using unique_kernel_handle = unique_handle<kernel_handle_traits>;

/// Selects a GDI object into a DC for a scope and puts the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() {
        if (previous_) {
            SelectObject(dc_, previous_);
        }
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace zorvo::ui
