// The driver's handles, on the program's own kit of owners, with the two kinds only the driver
// holds: mapped views and message hooks.
#pragma once

#include <windows.h>

#include "core/unique_handle_win32.h"

namespace zdrive {

struct view_traits : zorvo::null_handle_traits<void*> {
    static bool close(void* value) noexcept { return UnmapViewOfFile(value) != FALSE; }
};

struct hook_traits : zorvo::null_handle_traits<HHOOK> {
    static bool close(HHOOK value) noexcept { return UnhookWindowsHookEx(value) != FALSE; }
};

using kernel_handle = zorvo::unique_kernel_handle;
using module_handle = zorvo::unique_hmodule;
using mapped_view = zorvo::unique_handle<view_traits>;
using hook_handle = zorvo::unique_handle<hook_traits>;

} // namespace zdrive
