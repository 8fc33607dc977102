// zprobe.dll: loaded into the program's process by a WH_GETMESSAGE hook that the driver sets on the
// main window's thread. When that thread takes the driver's probe message from its queue, the hook
// copies the window's menu into memory the driver shares.
#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "core/unique_handle_win32.h"
#include "probe_protocol.h"

namespace {

void add_items(HMENU menu, zdrive::ProbeBlock& block) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && block.count < std::size(block.items); ++i) {
        zdrive::ProbeItem& item = block.items[block.count];
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
            continue;
        }
        item.id = info.wID;
        item.state = info.fState;
        ++block.count;
        if (info.hSubMenu != nullptr) {
            add_items(info.hSubMenu, block);
        }
    }
}

BOOL CALLBACK measure_child(HWND child, LPARAM param) {
    auto& block = *reinterpret_cast<zdrive::ProbeBlock*>(param);
    if (block.text_count >= std::size(block.texts)) {
        return FALSE;
    }
    const int length = GetWindowTextLengthW(child);
    if (length <= 0) {
        return TRUE;
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(child, text.data(), length + 1)));
    zdrive::ProbeText& out = block.texts[block.text_count++];
    out = zdrive::ProbeText{};
    out.id = GetDlgCtrlID(child);
    out.style = static_cast<std::uint32_t>(GetWindowLongPtrW(child, GWL_STYLE));
    GetClassNameW(child, out.class_name, static_cast<int>(std::size(out.class_name)));
    RECT client{};
    GetClientRect(child, &client);
    out.client_width = client.right;
    out.client_height = client.bottom;
    out.dpi = static_cast<std::int32_t>(GetDpiForWindow(child));
    const zorvo::WindowDC dc(child);
    const zorvo::SelectObjectScope font(
        dc.get(), reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    RECT line{0, 0, 0, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &line,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    out.line_width = line.right;
    out.line_height = line.bottom;
    RECT wrapped{0, 0, client.right, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &wrapped,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    out.wrapped_height = wrapped.bottom;
    return TRUE;
}

struct TipSearch {
    HWND owner;
    zdrive::ProbeBlock* block;
};

// Every tool of every tooltip window the form owns, read with the tooltip's own messages.
BOOL CALLBACK read_tips(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<TipSearch*>(param);
    wchar_t name[32] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (GetWindow(window, GW_OWNER) != search.owner || std::wcscmp(name, TOOLTIPS_CLASSW) != 0) {
        return TRUE;
    }
    zdrive::ProbeBlock& block = *search.block;
    const auto tools = static_cast<int>(SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < tools && block.tip_count < std::size(block.tips); ++i) {
        zdrive::ProbeTip& tip = block.tips[block.tip_count];
        tip = zdrive::ProbeTip{};
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.lpszText = tip.text; // the tooltip copies the text; 80 is its own limit
        if (SendMessageW(window, TTM_ENUMTOOLSW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&tool)) == 0) {
            continue;
        }
        const auto tool_window =
            (tool.uFlags & TTF_IDISHWND) != 0 ? reinterpret_cast<HWND>(tool.uId) : nullptr;
        tip.id = tool_window != nullptr ? GetDlgCtrlID(tool_window) : -1;
        ++block.tip_count;
    }
    return TRUE;
}

// The width of the icon the shell would show for the window: the window's own, else its class's.
std::int32_t icon_width(HWND window, WPARAM which, int class_index) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
    if (icon == nullptr) {
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, class_index));
    }
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return 0;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

void answer(HWND hwnd, DWORD driver_pid, zdrive::ProbeKind kind) {
    const std::wstring suffix = std::to_wstring(driver_pid);
    const zorvo::unique_kernel_handle mapping(OpenFileMappingW(
        FILE_MAP_WRITE, FALSE, (std::wstring(zdrive::probe_mapping_prefix) + suffix).c_str()));
    const zorvo::unique_kernel_handle done(OpenEventW(
        EVENT_MODIFY_STATE, FALSE, (std::wstring(zdrive::probe_event_prefix) + suffix).c_str()));
    void* view = mapping && done ? MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0,
                                                 sizeof(zdrive::ProbeBlock))
                                 : nullptr;
    if (view == nullptr) {
        return;
    }
    auto* block = static_cast<zdrive::ProbeBlock*>(view);
    block->count = 0;
    block->text_count = 0;
    block->tip_count = 0;
    if (kind == zdrive::ProbeKind::texts) {
        EnumChildWindows(hwnd, measure_child, reinterpret_cast<LPARAM>(block));
    } else if (kind == zdrive::ProbeKind::icons) {
        block->big_icon_width = icon_width(hwnd, ICON_BIG, GCLP_HICON);
        block->small_icon_width = icon_width(hwnd, ICON_SMALL, GCLP_HICONSM);
    } else if (kind == zdrive::ProbeKind::tips) {
        TipSearch search{hwnd, block};
        EnumThreadWindows(GetCurrentThreadId(), read_tips, reinterpret_cast<LPARAM>(&search));
    } else if (kind == zdrive::ProbeKind::contrast) {
        zdrive::apply_contrast_request(block->contrast);
    } else if (HMENU menu = GetMenu(hwnd)) {
        add_items(menu, *block);
    }
    UnmapViewOfFile(view);
    SetEvent(done.get());
}

} // namespace

extern "C" LRESULT CALLBACK ZProbeGetMessage(int code, WPARAM wparam, LPARAM lparam) {
    static const UINT probe_message = RegisterWindowMessageW(zdrive::probe_message_name);
    if (code == HC_ACTION && wparam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lparam);
        if (msg->message == probe_message && probe_message != 0) {
            answer(msg->hwnd, static_cast<DWORD>(msg->wParam),
                   static_cast<zdrive::ProbeKind>(msg->lParam));
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
