#include <algorithm>
#include <array>
#include <cwchar>

#include "driver_win32.h"

namespace zdrive {

std::wstring class_of(HWND hwnd) {
    std::array<wchar_t, 256> buffer{};
    const int length = GetClassNameW(hwnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<size_t>(std::max(length, 0)));
}

namespace {

struct Search {
    const std::wstring* cls;
    const std::wstring* caption;
    std::vector<TopWindow> found;
};

BOOL CALLBACK collect_top(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    // The caption of a top-level window is known to the system; no message is sent for it.
    std::array<wchar_t, 512> caption{};
    GetWindowTextW(hwnd, caption.data(), static_cast<int>(caption.size()));
    if (class_of(hwnd) == *search->cls &&
        (search->caption == nullptr || caption.data() == *search->caption)) {
        TopWindow window{hwnd, 0, IsWindowVisible(hwnd) != FALSE};
        GetWindowThreadProcessId(hwnd, &window.pid);
        search->found.push_back(window);
    }
    return TRUE;
}

} // namespace

std::vector<TopWindow> top_windows(const std::wstring& cls, const std::wstring* caption) {
    Search search{&cls, caption, {}};
    EnumWindows(collect_top, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND find_top(const std::wstring& spec) {
    const size_t at = spec.find(L'@');
    auto windows = top_windows(spec.substr(0, at));
    if (at != std::wstring::npos) {
        const DWORD pid = std::wcstoul(spec.c_str() + at + 1, nullptr, 10);
        std::erase_if(windows, [pid](const TopWindow& w) { return w.pid != pid; });
    }
    if (windows.empty()) {
        throw Failure(L"no window of class " + spec);
    }
    // Visible first, then the earliest started process.
    return std::min_element(windows.begin(), windows.end(),
                            [](const TopWindow& a, const TopWindow& b) {
                                return std::pair(!a.visible, a.pid) < std::pair(!b.visible, b.pid);
                            })
        ->hwnd;
}

HWND edit_of(HWND control) {
    HWND edit = FindWindowExW(control, nullptr, L"Edit", nullptr);
    return edit != nullptr ? edit : control;
}

} // namespace zdrive
