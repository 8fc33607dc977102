#include <string>

#include "driver_win32.h"

namespace zdrive {

void capture_client(HWND window, const std::wstring& path) {
    RECT client{};
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0 ||
        !ClientToScreen(window, &origin) || !IsWindowVisible(window) ||
        IsIconic(GetAncestor(window, GA_ROOT))) {
        throw Failure(L"the window is not shown");
    }
    const int width = client.right;
    const int height = client.bottom;
    const zorvo::WindowDC screen(nullptr);
    // Fewer bits per pixel would round the colours: no picture could match a reference.
    if (!screen || GetDeviceCaps(screen.get(), BITSPIXEL) < 24) {
        throw Failure(L"no screen of 24 bits per pixel");
    }
    const zorvo::unique_hdc memory(CreateCompatibleDC(screen.get()));
    // A top-down 24-bit DIB: its rows come in reading order, each padded to 4 bytes.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const zorvo::unique_hbitmap picture(
        CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    check(memory && picture && bits != nullptr, L"CreateDIBSection");
    const zorvo::SelectObjectScope selected(memory.get(), picture.get());
    // CAPTUREBLT: layered windows (the popup is one) are left out of a screen copy without it.
    check(BitBlt(memory.get(), 0, 0, width, height, screen.get(), origin.x, origin.y,
                 SRCCOPY | CAPTUREBLT) != FALSE,
          L"BitBlt");
    GdiFlush();
    std::string data = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    const auto* rows = static_cast<const unsigned char*>(bits);
    const int stride = (width * 3 + 3) & ~3;
    for (int y = 0; y < height; ++y) {
        for (const unsigned char* pixel = rows + y * stride; pixel < rows + y * stride + width * 3;
             pixel += 3) {
            data += {static_cast<char>(pixel[2]), static_cast<char>(pixel[1]),
                     static_cast<char>(pixel[0])};
        }
    }
    const zorvo::unique_file file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    check(file &&
              WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written,
                        nullptr) != FALSE &&
              written == data.size(),
          L"writing the picture");
}

} // namespace zdrive
