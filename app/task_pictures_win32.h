#pragma once
// The main window's task pictures, loaded from the program's resources the first time each is
// asked for: none of them is seen before a task runs.

#include <windows.h>

#include <array>

#include "app/frm_main.h"
#include "core/unique_handle_win32.h"

namespace zorvo {

class TaskPicturesWin32 final : public TaskPictures {
public:
    /// `fallback` (not owned) stands in for a picture that cannot be loaded.
    TaskPicturesWin32(HINSTANCE instance, HICON fallback)
        : instance_(instance), fallback_(fallback) {}

    ui::IconHandle picture(Holder holder) override;

private:
    HINSTANCE instance_;
    HICON fallback_;
    std::array<unique_hicon, 5> loaded_;
};

} // namespace zorvo
