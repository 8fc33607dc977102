#pragma once
// Move-only owners for Win32 handles. Each traits type names the handle type, its empty value and
// the call that frees it; copying is deleted so a handle is freed exactly once.

#include <windows.h>

#include <utility>

namespace zorvo {

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
    ~unique_handle() { static_cast<void>(close()); }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return Traits::valid(value_); }

    /// Gives up ownership without freeing.
    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept {
        if (value_ != value) {
            static_cast<void>(close());
            value_ = value;
        }
    }
    /// Frees the handle held, if any, and gives the address to receive a new one (for calls that
    /// return a handle through a parameter).
    pointer* put() noexcept {
        reset();
        return &value_;
    }
    /// Frees the handle now; false when the system reports a failure (for a file written to, the
    /// last moment a write error can show).
    [[nodiscard]] bool close() noexcept {
        const pointer value = release();
        return !Traits::valid(value) || Traits::close(value);
    }

private:
    pointer value_ = Traits::invalid();
};

template <typename T> struct null_handle_traits {
    using pointer = T;
    static constexpr pointer invalid() noexcept { return nullptr; }
    static bool valid(const void* value) noexcept { return value != nullptr; }
};

struct window_traits : null_handle_traits<HWND> {
    static bool close(HWND value) noexcept { return DestroyWindow(value) != FALSE; }
};
struct menu_traits : null_handle_traits<HMENU> {
    static bool close(HMENU value) noexcept { return DestroyMenu(value) != FALSE; }
};
template <typename T> struct gdi_object_traits : null_handle_traits<T> {
    static bool close(T value) noexcept { return DeleteObject(value) != FALSE; }
};
/// Only for icons the program created itself; icons loaded with LR_SHARED belong to the system.
struct icon_traits : null_handle_traits<HICON> {
    static bool close(HICON value) noexcept { return DestroyIcon(value) != FALSE; }
};
struct accelerator_traits : null_handle_traits<HACCEL> {
    static bool close(HACCEL value) noexcept { return DestroyAcceleratorTable(value) != FALSE; }
};
struct dc_traits : null_handle_traits<HDC> {
    static bool close(HDC value) noexcept { return DeleteDC(value) != FALSE; }
};
/// Kernel handles whose empty value is null: mutexes, process tokens.
struct kernel_handle_traits : null_handle_traits<HANDLE> {
    static bool close(HANDLE value) noexcept { return CloseHandle(value) != FALSE; }
};
/// Files from CreateFileW, whose empty value is INVALID_HANDLE_VALUE.
struct file_handle_traits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(const void* value) noexcept { return value != INVALID_HANDLE_VALUE; }
    static bool close(HANDLE value) noexcept { return CloseHandle(value) != FALSE; }
};
struct module_traits : null_handle_traits<HMODULE> {
    static bool close(HMODULE value) noexcept { return FreeLibrary(value) != FALSE; }
};
/// Memory the system allocated for the caller with LocalAlloc (FormatMessageW's buffer).
template <typename T> struct local_memory_traits : null_handle_traits<T*> {
    static bool close(T* value) noexcept { return LocalFree(value) == nullptr; }
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
using unique_token = unique_handle<kernel_handle_traits>;
using unique_file = unique_handle<file_handle_traits>;
using unique_hmodule = unique_handle<module_traits>;
template <typename T> using unique_local = unique_handle<local_memory_traits<T>>;

/// The device context of a window (the screen for none), from GetDC, released at the end of the
/// scope.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

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

} // namespace zorvo
