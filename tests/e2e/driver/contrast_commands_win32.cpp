#include "contrast_commands_win32.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <map>

#include "capture_win32.h"
#include "contrast_protocol.h"
#include "protocol_win32.h"
#include "window_lookup_win32.h"

namespace zdrive {

namespace {

constexpr DWORD probe_timeout_ms = 5000;

struct ContrastFailure {
    std::wstring text;
};

std::wstring hex_colour(std::uint32_t colour) {
    std::array<wchar_t, 16> buffer{};
    std::swprintf(buffer.data(), buffer.size(), L"0x%06X", static_cast<unsigned>(colour));
    return buffer.data();
}

std::uint32_t number(const std::wstring& text) {
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') {
        throw ContrastFailure{L"not a number: " + text};
    }
    return static_cast<std::uint32_t>(value);
}

HWND top_window(const std::wstring& cls) {
    HWND hwnd = find_top(cls, true);
    if (hwnd == nullptr) {
        throw ContrastFailure{L"no window of class " + cls};
    }
    return hwnd;
}

// contrast CLASS on|off|keep [INDEX COLOUR]...: high contrast as the program's process sees it,
// and system colours set inside it; answers "HOOKED SET PREVIOUS..." (the colours before).
std::wstring contrast(const std::vector<std::wstring>& a, Session& session) {
    static kernel_handle mapping;
    const std::wstring name = contrast_mapping_prefix + std::to_wstring(GetCurrentProcessId());
    if (!mapping) {
        mapping = kernel_handle(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                   sizeof(ContrastRequest), name.c_str()));
    }
    const mapped_view view(
        mapping ? MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(ContrastRequest))
                : nullptr);
    if (!view) {
        throw ContrastFailure{L"cannot share the contrast request"};
    }
    auto* request = static_cast<ContrastRequest*>(view.get());
    *request = ContrastRequest{};
    request->high_contrast = a[2] == L"on"    ? ContrastSwitch::on
                             : a[2] == L"off" ? ContrastSwitch::off
                                              : ContrastSwitch::unchanged;
    for (size_t i = 3; i + 1 < a.size() && request->count < 8; i += 2) {
        request->indices[request->count] = static_cast<std::int32_t>(number(a[i]));
        request->colours[request->count] = number(a[i + 1]);
        ++request->count;
    }
    std::wstring error;
    if (!session.probe.read(top_window(a[1]), probe_timeout_ms, error, ProbeKind::contrast)) {
        throw ContrastFailure{error};
    }
    std::wstring answer =
        L"ok " + std::to_wstring(request->hooked) + L" " + std::to_wstring(request->set);
    for (std::uint32_t i = 0; i < request->count; ++i) {
        answer += L" " + hex_colour(request->previous[i]);
    }
    return answer;
}

// sys-colours [INDEX COLOUR]...: sets system colours from the driver's own process, for the
// processes started later (a running one keeps those it has).
std::wstring sys_colours(const std::vector<std::wstring>& a) {
    std::vector<int> indices;
    std::vector<COLORREF> values;
    for (size_t i = 1; i + 1 < a.size(); i += 2) {
        indices.push_back(static_cast<int>(number(a[i])));
        values.push_back(number(a[i + 1]));
    }
    if (!indices.empty() &&
        !SetSysColors(static_cast<int>(indices.size()), indices.data(), values.data())) {
        throw ContrastFailure{L"SetSysColors failed: " + std::to_wstring(GetLastError())};
    }
    return L"ok";
}

// setting-change: what the system sends every top-level window when high contrast is switched.
std::wstring setting_change() {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG,
                        3000, &result);
    return L"ok";
}

// colours CLASS ID: the colours on the screen over the control (ID 0: the window's client area),
// the 32 most frequent first, as COLOUR:PIXELS (COLOUR as 0xBBGGRR).
std::wstring colours(const std::vector<std::wstring>& a) {
    HWND top = top_window(a[1]);
    HWND target = find_control(top, static_cast<int>(number(a[2])));
    if (target == nullptr) {
        throw ContrastFailure{L"no control " + a[2] + L" in " + a[1]};
    }
    RECT rect{};
    GetClientRect(target, &rect);
    MapWindowPoints(target, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        throw ContrastFailure{L"the control has no area"};
    }
    ScreenRows rows;
    if (std::wstring failed = copy_screen(rect, rows); !failed.empty()) {
        throw ContrastFailure{failed};
    }
    std::map<std::uint32_t, int> counts;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Blue, green, red in the picture; 0x00BBGGRR as the program writes colours.
            const unsigned char* p = rows.pixel(x, y);
            ++counts[(std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2]];
        }
    }
    std::vector<std::pair<std::uint32_t, int>> sorted(counts.begin(), counts.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& x, const auto& y) { return x.second > y.second; });
    std::wstring answer = L"ok";
    for (size_t i = 0; i < sorted.size() && i < 32; ++i) {
        answer += L" " + hex_colour(sorted[i].first) + L":" + std::to_wstring(sorted[i].second);
    }
    return answer;
}

} // namespace

std::optional<std::wstring> run_contrast_command(const std::vector<std::wstring>& tokens,
                                                 Session& session) {
    const std::wstring& name = tokens[0];
    try {
        if (name == L"contrast") {
            if (tokens.size() < 3) {
                return L"error too few arguments for contrast";
            }
            return contrast(tokens, session);
        }
        if (name == L"sys-colours") {
            return sys_colours(tokens);
        }
        if (name == L"setting-change") {
            return setting_change();
        }
        if (name == L"colours") {
            if (tokens.size() < 3) {
                return L"error too few arguments for colours";
            }
            return colours(tokens);
        }
    } catch (const ContrastFailure& failure) {
        return L"error " + failure.text;
    }
    return std::nullopt;
}

} // namespace zdrive
