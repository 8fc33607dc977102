// Pictures of a window's client area for the end-to-end tests' reference pictures.
#pragma once

#include <windows.h>

#include <string>

namespace zdrive {

// Writes the client area of `window`, as the screen shows it, to `path` as a binary PPM (P6, 8
// bits per channel, rows top to bottom). The pixels come from the screen because the window is
// another process's: PrintWindow asks it to draw into a device context of this process, which
// under Wine comes back black. So the client area must be on the screen and uncovered. Returns an
// empty text on success, otherwise what went wrong.
std::wstring capture_client(HWND window, const std::wstring& path);

} // namespace zdrive
