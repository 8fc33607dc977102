// The driver's side of the menu probe: sets the hook on the window's thread, asks, waits.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "handles_win32.h"
#include "probe_protocol.h"

namespace zdrive {

class MenuProbe {
public:
    // Returns the menu of the window as the program's own thread sees it, or nothing when the
    // probe could not be set up or did not answer in time.
    std::optional<ProbeBlock> read(HWND top, DWORD timeout_ms, std::wstring& error,
                                   ProbeKind kind = ProbeKind::menu,
                                   const ContrastRequest& contrast = {});

private:
    bool prepare(std::wstring& error);

    module_handle module_;
    HOOKPROC hook_proc_ = nullptr;
    kernel_handle mapping_;
    kernel_handle done_;
    mapped_view view_;
    std::map<DWORD, hook_handle> hooks_;
};

} // namespace zdrive
