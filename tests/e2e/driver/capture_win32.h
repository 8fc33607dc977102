// Pictures of a window's client area for the end-to-end tests' reference pictures.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zdrive {

// Pixels copied from the screen: rows top to bottom, three bytes (blue, green, red) a pixel,
// each row padded to four bytes.
struct ScreenRows {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<unsigned char> bytes;

    [[nodiscard]] const unsigned char* pixel(int x, int y) const {
        return bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(stride) +
               static_cast<size_t>(x) * 3;
    }
};

// Copies `area` (screen coordinates) from the screen, layered windows included. Returns an empty
// text on success, otherwise what went wrong.
std::wstring copy_screen(const RECT& area, ScreenRows& rows);

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
