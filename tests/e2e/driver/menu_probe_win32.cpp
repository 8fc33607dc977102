#include <array>
#include <cstring>

#include "driver_win32.h"

namespace zdrive {

namespace {

std::wstring probe_path() {
    std::array<wchar_t, MAX_PATH * 2> buffer{};
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + L"zprobe.dll";
}

} // namespace

void MenuProbe::prepare() {
    if (module_) {
        return;
    }
    // The full path matters: the hook's module is loaded into the program's process by name.
    module_ = zorvo::unique_hmodule(LoadLibraryW(probe_path().c_str()));
    if (!module_) {
        throw Failure(L"cannot load " + probe_path());
    }
    hook_proc_ = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(module_.get(), probe_hook_export)));
    const std::wstring suffix = std::to_wstring(GetCurrentProcessId());
    mapping_ = kernel_handle(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                sizeof(ProbeBlock),
                                                (probe_mapping_prefix + suffix).c_str()));
    done_ =
        kernel_handle(CreateEventW(nullptr, FALSE, FALSE, (probe_event_prefix + suffix).c_str()));
    if (mapping_) {
        view_ =
            mapped_view(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(ProbeBlock)));
    }
    if (hook_proc_ == nullptr || !mapping_ || !done_ || !view_) {
        module_.reset();
        throw Failure(L"cannot set up the menu probe");
    }
}

ProbeBlock MenuProbe::read(HWND top, DWORD timeout_ms, ProbeKind kind,
                           const ContrastRequest& contrast) {
    prepare();
    const DWORD thread = GetWindowThreadProcessId(top, nullptr);
    check(thread != 0, L"GetWindowThreadProcessId");
    if (hooks_.find(thread) == hooks_.end()) {
        hook_handle hook(SetWindowsHookExW(WH_GETMESSAGE, hook_proc_, module_.get(), thread));
        check(static_cast<bool>(hook), L"SetWindowsHookEx");
        hooks_.emplace(thread, std::move(hook));
    }
    static const UINT probe_message = RegisterWindowMessageW(probe_message_name);
    static_cast<ProbeBlock*>(view_.get())->contrast = contrast;
    ResetEvent(done_.get());
    PostMessageW(top, probe_message, GetCurrentProcessId(), static_cast<LPARAM>(kind));
    if (WaitForSingleObject(done_.get(), timeout_ms) != WAIT_OBJECT_0) {
        throw Failure(L"the probe did not answer");
    }
    ProbeBlock block;
    std::memcpy(&block, view_.get(), sizeof block);
    return block;
}

} // namespace zdrive
