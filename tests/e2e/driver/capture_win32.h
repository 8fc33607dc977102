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

// The face the font mapper gives for `face` with the Cyrillic character set, as
// "FACE:FULL NAME" (the full name tells which font file stands behind a substituted face).
std::wstring mapped_face(const std::wstring& face);

} // namespace zdrive
