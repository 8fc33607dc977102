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

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK find_child(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<TopWindow> top_windows(const std::wstring& cls, const std::wstring* caption) {
    Search search{&cls, caption, {}};
    EnumWindows(collect_top, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND find_top(const std::wstring& spec, bool allow_hidden, const std::wstring* caption) {
    const size_t at = spec.find(L'@');
    auto windows = top_windows(spec.substr(0, at), caption);
    if (at != std::wstring::npos) {
        const DWORD pid = std::wcstoul(spec.c_str() + at + 1, nullptr, 10);
        std::erase_if(windows, [pid](const TopWindow& w) { return w.pid != pid; });
    }
    if (!allow_hidden) {
        std::erase_if(windows, [](const TopWindow& w) { return !w.visible; });
    }
    if (windows.empty()) {
        return nullptr;
    }
    // Visible first, then the earliest started process.
    return std::min_element(windows.begin(), windows.end(),
                            [](const TopWindow& a, const TopWindow& b) {
                                return std::pair(!a.visible, a.pid) < std::pair(!b.visible, b.pid);
                            })
        ->hwnd;
}

HWND find_control(HWND top, int id) {
    if (id == 0) {
        return top;
    }
    if (HWND direct = GetDlgItem(top, id)) {
        return direct;
    }
    ChildSearch search{id, nullptr};
    EnumChildWindows(top, find_child, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND edit_of(HWND control) {
    if (_wcsicmp(class_of(control).c_str(), L"Edit") == 0) {
        return control;
    }
    HWND edit = FindWindowExW(control, nullptr, L"Edit", nullptr);
    return edit != nullptr ? edit : control;
}

} // namespace zdrive
