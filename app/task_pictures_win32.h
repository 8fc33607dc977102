#pragma once
// The main window's task pictures and its own icon as the notification area shows them, loaded
// from the program's resources the first time each is asked for (none of the task pictures is seen
// before a task runs), at the size of the notification area's screen, and loaded afresh when that
// screen's DPI changes.

#include <windows.h>

#include <array>

#include "app/frm_main.h"
#include "core/unique_handle_win32.h"

namespace zorvo {

class TaskPicturesWin32 final : public TaskPictures {
public:
    /// `fallback` (not owned) stands in for a picture that cannot be loaded.
    TaskPicturesWin32(HINSTANCE instance, HICON fallback);

    IconHandle picture(Holder holder) override;
    IconHandle formIcon() override;

    /// Drops the pictures when the notification area's DPI is no longer the one they were made
    /// for; true when it did (the icon must then be given the new ones). The old ones are kept
    /// until the next reload, as the icon may still show one of them.
    bool reloadForDpi(UINT dpi);

private:
    static constexpr std::size_t kFormSlot = 4;
    IconHandle loaded(std::size_t slot, int resource);

    HINSTANCE instance_;
    HICON fallback_;
    UINT dpi_;
    std::array<unique_hicon, kFormSlot + 1> loaded_;
    std::array<unique_hicon, kFormSlot + 1> retired_;
};

} // namespace zorvo
