#include "capture_win32.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "handles_win32.h"

namespace zdrive {

namespace {

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

struct screen_dc_traits : zorvo::null_handle_traits<HDC> {
    static bool close(HDC value) noexcept { return ReleaseDC(nullptr, value) == 1; }
};
using screen_dc = zorvo::unique_handle<screen_dc_traits>;
using memory_dc = zorvo::unique_hdc;
using bitmap = zorvo::unique_hbitmap;

class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

std::wstring last_error(const wchar_t* call) {
    return std::wstring(call) + L" failed: " + std::to_wstring(GetLastError());
}

bool write_ppm(const std::wstring& path, const ScreenRows& rows) {
    std::string data =
        "P6\n" + std::to_string(rows.width) + " " + std::to_string(rows.height) + "\n255\n";
    data.reserve(data.size() +
                 static_cast<size_t>(rows.width) * static_cast<size_t>(rows.height) * 3);
    for (int y = 0; y < rows.height; ++y) {
        for (int x = 0; x < rows.width; ++x) {
            const unsigned char* pixel = rows.pixel(x, y);
            data += static_cast<char>(pixel[2]);
            data += static_cast<char>(pixel[1]);
            data += static_cast<char>(pixel[0]);
        }
    }
    const zorvo::unique_file file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) !=
               FALSE &&
           written == data.size();
}

std::wstring copy_screen(const RECT& area, ScreenRows& rows) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const screen_dc screen(GetDC(nullptr));
    if (!screen) {
        return L"GetDC failed";
    }
    // Fewer bits per pixel would round the colours: no picture could match a reference.
    if (const int bits = GetDeviceCaps(screen.get(), BITSPIXEL); bits < 24) {
        return L"the screen has " + std::to_wstring(bits) + L" bits per pixel, not 24 or more";
    }
    const memory_dc memory(CreateCompatibleDC(screen.get()));
    if (!memory) {
        return L"CreateCompatibleDC failed";
    }
    // A top-down 24-bit DIB: its rows come in reading order, each padded to 4 bytes.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const bitmap picture(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture || bits == nullptr) {
        return last_error(L"CreateDIBSection");
    }
    {
        const SelectScope select(memory.get(), picture.get());
        // CAPTUREBLT: layered windows (the popup is one) are left out of a screen copy without it.
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top,
                    SRCCOPY | CAPTUREBLT)) {
            return last_error(L"BitBlt");
        }
        GdiFlush();
    }
    rows.width = width;
    rows.height = height;
    rows.stride = (width * 3 + 3) & ~3;
    const auto* first = static_cast<const unsigned char*>(bits);
    rows.bytes.assign(first,
                      first + static_cast<size_t>(rows.stride) * static_cast<size_t>(height));
    return {};
}

} // namespace

std::wstring capture_client(HWND window, const std::wstring& path) {
    RECT client{};
    if (!GetClientRect(window, &client)) {
        return last_error(L"GetClientRect");
    }
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) {
        return L"the window has an empty client area";
    }
    POINT origin{0, 0};
    if (!ClientToScreen(window, &origin)) {
        return L"ClientToScreen failed";
    }
    const RECT area{origin.x, origin.y, origin.x + width, origin.y + height};
    if (!IsWindowVisible(window) || IsIconic(GetAncestor(window, GA_ROOT))) {
        return L"the window is not shown";
    }
    ScreenRows rows;
    if (std::wstring failed = copy_screen(area, rows); !failed.empty()) {
        return failed;
    }
    if (!write_ppm(path, rows)) {
        return last_error(L"writing the picture");
    }
    return {};
}

} // namespace zdrive
