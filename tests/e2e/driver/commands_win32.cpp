#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <cwchar>
#include <functional>
#include <span>

#include "core/product.h"
#include "core/tray_icon_record.h"
#include "driver_win32.h"

namespace zdrive {

namespace {

// Only a window that hangs runs into it: a loaded machine answers late, not never.
constexpr UINT send_timeout_ms = 10000;
const std::wstring message_box_class = L"#32770";
const std::wstring message_box_caption = L"Zorvo";
constexpr int message_box_text_id = 0xFFFF;

using Args = std::vector<std::wstring>;

long long number(const std::wstring& text) {
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') {
        throw Failure(L"not a number: " + text);
    }
    return value;
}

std::wstring ok(const std::wstring& value = {}) {
    return value.empty() ? L"ok" : L"ok " + value;
}

int id_of(const Args& args) {
    return args.size() > 2 ? static_cast<int>(number(args[2])) : 0;
}

// The control named by the arguments CLASS [ID]; without ID (or ID 0) the window itself.
HWND control(const Args& args) {
    HWND top = find_top(args[1]);
    HWND hwnd = id_of(args) == 0 ? top : GetDlgItem(top, id_of(args));
    if (hwnd == nullptr) {
        throw Failure(L"no control " + args[2] + L" in " + args[1]);
    }
    return hwnd;
}

LRESULT send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, send_timeout_ms,
                             &result)) {
        throw Failure(L"the window did not answer message " + hex(message));
    }
    return static_cast<LRESULT>(result);
}

void post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    check(PostMessageW(hwnd, message, wparam, lparam) != FALSE, L"PostMessage");
}

// The window's text. The program may change it between the two questions (a countdown caption
// grows from "0 мин 58 сек" to a longer task's text): a text that fills the buffer to the last
// character may have been cut, so it is asked again with room for the longer one.
std::wstring text_of(HWND hwnd) {
    std::wstring text;
    auto room = static_cast<size_t>(send(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 2;
    for (int attempt = 0; attempt < 8; ++attempt, room *= 2) {
        text.assign(room, L'\0');
        const auto copied = static_cast<size_t>(send(hwnd, WM_GETTEXT, static_cast<WPARAM>(room),
                                                     reinterpret_cast<LPARAM>(text.data())));
        text.resize(std::min(copied, room - 1));
        if (text.size() + 1 < room) {
            break;
        }
    }
    return text;
}

LPARAM centre_of(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
}

std::wstring flag(bool value) {
    return value ? L"1" : L"0";
}

// What the probe inside the program read of the window named by args[1].
ProbeBlock probe_read(Session& session, const Args& args, ProbeKind kind = ProbeKind::menu,
                      const ContrastRequest& contrast = {}) {
    return session.probe.read(find_top(args[1]), send_timeout_ms, kind, contrast);
}

ProbeItem menu_item(Session& session, const Args& args) {
    const auto block = probe_read(session, args);
    const auto id = static_cast<std::uint32_t>(number(args[2]));
    for (std::uint32_t i = 0; i < block.count; ++i) {
        if (block.items[i].id == id) {
            return block.items[i];
        }
    }
    throw Failure(L"no menu item " + args[2]);
}

struct Command {
    const wchar_t* name;
    size_t min_args;
    std::function<std::wstring(const Args&, Session&)> run;
};

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        // list CLASS: every top-level window of the class as HWND:PID:VISIBLE.
        {L"list", 1,
         [](const Args& a, Session&) {
             std::wstring value;
             for (const TopWindow& w : top_windows(a[1])) {
                 value += (value.empty() ? L"" : L" ") + hex(reinterpret_cast<ULONG_PTR>(w.hwnd)) +
                          L":" + std::to_wstring(w.pid) + L":" + flag(w.visible);
             }
             return ok(value);
         }},
        {L"get-text", 1,
         [](const Args& a, Session&) { return ok(escape_value(text_of(control(a)))); }},
        // window CLASS [ID]: VISIBLE ENABLED ICONIC STYLE EXSTYLE OWNER KEY ALPHA LAYERED: for a
        // control its own WS_VISIBLE bit (a child of a hidden window is never "visible" to
        // IsWindowVisible); the owner's handle (0x0 for none); a layered window's colour key,
        // alpha and flags as the program set them (all 0 for another window).
        {L"window", 1,
         [](const Args& a, Session&) {
             HWND hwnd = control(a);
             const auto style = static_cast<ULONG_PTR>(GetWindowLongPtrW(hwnd, GWL_STYLE));
             COLORREF key = 0;
             BYTE alpha = 0;
             DWORD layered = 0;
             GetLayeredWindowAttributes(hwnd, &key, &alpha, &layered);
             return ok(
                 flag(id_of(a) != 0 ? (style & WS_VISIBLE) != 0 : IsWindowVisible(hwnd) != FALSE) +
                 L" " + flag(IsWindowEnabled(hwnd) != FALSE) + L" " +
                 flag(IsIconic(hwnd) != FALSE) + L" " + hex(style) + L" " +
                 hex(static_cast<ULONG_PTR>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE))) + L" " +
                 hex(reinterpret_cast<ULONG_PTR>(GetWindow(hwnd, GW_OWNER))) + L" " + hex(key) +
                 L" " + std::to_wstring(alpha) + L" " + std::to_wstring(layered));
         }},
        {L"get-sel", 2,
         [](const Args& a, Session&) {
             const auto packed = static_cast<DWORD>(send(edit_of(control(a)), EM_GETSEL, 0, 0));
             return ok(std::to_wstring(LOWORD(packed)) + L" " + std::to_wstring(HIWORD(packed)));
         }},
        // cursor X Y: moves the mouse pointer to the screen point, as a hand on the mouse does.
        {L"cursor", 2,
         [](const Args& a, Session&) {
             check(SetCursorPos(static_cast<int>(number(a[1])), static_cast<int>(number(a[2]))) !=
                       FALSE,
                   L"SetCursorPos");
             return ok();
         }},
        // tray-icon HWND: 1 while the notification area holds the program's icon for that window
        // (HWND as `list` gives it, so it can be asked after the window is gone). The shell
        // answers a change that sets nothing with whether it knows the icon; counting icons
        // instead would race with the shell's slow sweep of icons whose program was killed.
        {L"tray-icon", 1,
         [](const Args& a, Session&) {
             NOTIFYICONDATAW data{};
             data.cbSize = sizeof data;
             data.hWnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(number(a[1])));
             data.uID = zorvo::TrayIconRecord::kIdentifier;
             return ok(flag(Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE));
         }},
        // keys WINDOW VK...: keys pressed (VK) and let go (-VK) on the keyboard, in order, as one
        // input that nothing else typed comes between. WINDOW "*" types them whatever window is
        // in front (GetAsyncKeyState reports them system-wide; VK_LCONTROL and VK_RCONTROL tell
        // the two Ctrl keys apart); a window's class types them only while that window is the
        // one keys go to. Answers 1 when typed, 0 (nothing typed) while another window is in front.
        {L"keys", 2,
         [](const Args& a, Session&) {
             if (a[1] != L"*" && GetForegroundWindow() != find_top(a[1])) {
                 return ok(L"0");
             }
             std::vector<INPUT> inputs;
             for (auto key = a.begin() + 2; key != a.end(); ++key) {
                 const long long code = number(*key);
                 const auto vk = static_cast<WORD>(code < 0 ? -code : code);
                 INPUT& input = inputs.emplace_back();
                 input.type = INPUT_KEYBOARD;
                 input.ki.wVk = vk;
                 input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
                 input.ki.dwFlags = (code < 0 ? KEYEVENTF_KEYUP : 0) |
                                    (vk == VK_RCONTROL ? KEYEVENTF_EXTENDEDKEY : 0);
             }
             const auto count = static_cast<UINT>(inputs.size());
             check(SendInput(count, inputs.data(), sizeof(INPUT)) == count, L"SendInput");
             return ok(L"1");
         }},
        // post CLASS ID MSG [WPARAM [LPARAM]]: to the control (to a combo box's edit field, which
        // takes its keys); LPARAM "centre" is the middle of the control, as the mouse gives it.
        {L"post", 3,
         [](const Args& a, Session&) {
             HWND hwnd = id_of(a) != 0 ? edit_of(control(a)) : control(a);
             post(hwnd, static_cast<UINT>(number(a[3])),
                  a.size() > 4 ? static_cast<WPARAM>(number(a[4])) : 0,
                  a.size() <= 5       ? 0
                  : a[5] == L"centre" ? centre_of(hwnd)
                                      : number(a[5]));
             return ok();
         }},
        // sync CLASS: returns once the window's thread has handled what was posted to it before.
        // Sent messages overtake posted ones, so the WM_NULL rounds alone can come back before a
        // posted click is handled on a loaded machine; the probe's own message is posted, and
        // the program's thread takes it from its queue only after everything posted earlier.
        {L"sync", 1,
         [](const Args& a, Session& session) {
             const HWND window = find_top(a[1]);
             for (int round = 0; round < 4; ++round) {
                 send(window, WM_NULL, 0, 0);
                 Sleep(25);
             }
             session.probe.read(window, send_timeout_ms);
             return ok();
         }},
        // rect CLASS [ID]: LEFT TOP WIDTH HEIGHT of the window (or control) on the screen, then
        // the same of its client area.
        {L"rect", 1,
         [](const Args& a, Session&) {
             HWND hwnd = control(a);
             RECT window{};
             RECT client{};
             GetWindowRect(hwnd, &window);
             GetClientRect(hwnd, &client);
             MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
             std::wstring value;
             for (const RECT& r : {window, client}) {
                 for (const LONG v : {r.left, r.top, r.right - r.left, r.bottom - r.top}) {
                     value += (value.empty() ? L"" : L" ") + std::to_wstring(v);
                 }
             }
             return ok(value);
         }},
        // capture CLASS ID PATH: the control's client area (the window's for ID 0), as the screen
        // shows it, as a PPM file.
        {L"capture", 3,
         [](const Args& a, Session&) {
             capture_client(control(a), a[3]);
             return ok();
         }},
        // focus CLASS: the control ID of the window that has the keyboard focus in the window's
        // thread (a combo box's edit counts as the combo box): 0 for the window itself, "none"
        // for no focus, -1 for a window that is not one of its controls.
        {L"focus", 1,
         [](const Args& a, Session&) {
             HWND window = find_top(a[1]);
             GUITHREADINFO info{};
             info.cbSize = sizeof info;
             check(GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) != FALSE,
                   L"GetGUIThreadInfo");
             HWND focus = info.hwndFocus;
             if (focus == nullptr) {
                 return ok(L"none");
             }
             if (_wcsicmp(class_of(focus).c_str(), L"Edit") == 0 && GetParent(focus) != window) {
                 focus = GetParent(focus);
             }
             if (focus == window) {
                 return ok(L"0");
             }
             return ok(IsChild(window, focus) ? std::to_wstring(GetDlgCtrlID(focus)) : L"-1");
         }},
        // foreground CLASS: whether the window is the one keys typed on the keyboard go to.
        {L"foreground", 1,
         [](const Args& a, Session&) { return ok(flag(GetForegroundWindow() == find_top(a[1]))); }},
        // activate CLASS: brings the window to the front, as a click on it does; answers the window
        // that was in front before as "CLASS@PID CAPTION" ("@0 " for none).
        {L"activate", 1,
         [](const Args& a, Session&) {
             const HWND before = GetForegroundWindow();
             DWORD pid = 0;
             wchar_t caption[256]{};
             GetWindowTextW(before, caption, 256);
             GetWindowThreadProcessId(before, &pid);
             check(SetForegroundWindow(find_top(a[1])) != FALSE, L"SetForegroundWindow");
             return ok(
                 escape_value(class_of(before) + L"@" + std::to_wstring(pid) + L" " + caption));
         }},
        // show-window CLASS CMD: ShowWindow from outside, as the taskbar or a script does it.
        {L"show-window", 2,
         [](const Args& a, Session&) {
             ShowWindowAsync(find_top(a[1]), static_cast<int>(number(a[2])));
             return ok();
         }},
        // launch SHOW CWD EXE [ARGS...]: starts EXE as the shell would with the show command
        // SHOW (7 = SW_SHOWMINNOACTIVE for `start /min`); answers the new process's ID.
        {L"launch", 3,
         [](const Args& a, Session&) {
             std::wstring line = L"\"" + a[3] + L"\"";
             for (size_t i = 4; i < a.size(); ++i) {
                 line += L" " + a[i];
             }
             STARTUPINFOW startup{};
             startup.cb = sizeof startup;
             startup.dwFlags = STARTF_USESHOWWINDOW;
             startup.wShowWindow = static_cast<WORD>(number(a[1]));
             PROCESS_INFORMATION info{};
             check(CreateProcessW(a[3].c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  a[2].c_str(), &startup, &info) != FALSE,
                   L"starting " + a[3]);
             const kernel_handle process(info.hProcess);
             const kernel_handle thread(info.hThread);
             return ok(std::to_wstring(info.dwProcessId));
         }},
        // menu-state CLASS ID: "checked|unchecked enabled|disabled", read inside the program.
        {L"menu-state", 2,
         [](const Args& a, Session& s) {
             const ProbeItem item = menu_item(s, a);
             return ok(std::wstring((item.state & MFS_CHECKED) != 0 ? L"checked" : L"unchecked") +
                       ((item.state & MFS_DISABLED) != 0 ? L" disabled" : L" enabled"));
         }},
        // text-fit CLASS: for every child with a text, measured inside the program with the
        // font it draws with, after a blank: ID:CLASS:STYLE:CLIENT_W:CLIENT_H:LINE_W:LINE_H:
        // WRAPPED_H:DPI.
        {L"text-fit", 1,
         [](const Args& a, Session& s) {
             const auto block = probe_read(s, a, ProbeKind::texts);
             std::wstring value;
             for (const ProbeText& t : std::span(block.texts, block.text_count)) {
                 value += L" " + std::to_wstring(t.id) + L":" + t.class_name + L":" + hex(t.style);
                 for (std::int32_t v : {t.client_width, t.client_height, t.line_width,
                                        t.line_height, t.wrapped_height, t.dpi}) {
                     value += L":" + std::to_wstring(v);
                 }
             }
             return ok(value);
         }},
        // icons CLASS: BIG SMALL, the widths of the icons the shell shows for the window.
        {L"icons", 1,
         [](const Args& a, Session& s) {
             const auto block = probe_read(s, a, ProbeKind::icons);
             return ok(std::to_wstring(block.big_icon_width) + L" " +
                       std::to_wstring(block.small_icon_width));
         }},
        // tooltips CLASS: ID:TEXT for every tool of the tooltips the window owns, read inside the
        // program, each after a tab (the texts hold spaces).
        {L"tooltips", 1,
         [](const Args& a, Session& s) {
             const auto block = probe_read(s, a, ProbeKind::tips);
             std::wstring value;
             for (const ProbeTip& tip : std::span(block.tips, block.tip_count)) {
                 value += L"\t" + std::to_wstring(tip.id) + L":" + escape_value(tip.text);
             }
             return ok(value);
         }},
        // messagebox [ID]: the program's message box as "COUNT BUTTONS\tTEXT" (how many show,
        // the IDs of its buttons with the default one, which Enter presses, first), or "none";
        // with ID, that button is pressed.
        {L"messagebox", 0,
         [](const Args& a, Session&) {
             auto boxes = top_windows(message_box_class, &message_box_caption);
             std::erase_if(boxes, [](const TopWindow& w) { return !w.visible; });
             if (boxes.empty()) {
                 return std::wstring(L"none");
             }
             HWND box = boxes.front().hwnd;
             std::wstring first;
             std::wstring rest;
             for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
                 if (HWND button = GetDlgItem(box, id)) {
                     const auto style = GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK;
                     (style == BS_DEFPUSHBUTTON ? first : rest) += L" " + std::to_wstring(id);
                 }
             }
             // A box that is closing answers nothing more: it has no text then.
             std::wstring text;
             try {
                 text = text_of(GetDlgItem(box, message_box_text_id));
             } catch (const Failure&) {
             }
             const std::wstring value =
                 std::to_wstring(boxes.size()) + first + rest + L"\t" + escape_value(text);
             if (a.size() > 1) {
                 const int id = static_cast<int>(number(a[1]));
                 post(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
             }
             return ok(value);
         }},
        // kill-image NAME: ends every process whose executable is NAME; answers how many.
        {L"kill-image", 1,
         [](const Args& a, Session&) {
             const kernel_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
             int killed = 0;
             PROCESSENTRY32W entry{};
             entry.dwSize = sizeof entry;
             for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
                  more = Process32NextW(snapshot.get(), &entry)) {
                 if (_wcsicmp(entry.szExeFile, a[1].c_str()) != 0) {
                     continue;
                 }
                 const kernel_handle process(
                     OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
                 if (process && TerminateProcess(process.get(), 1)) {
                     WaitForSingleObject(process.get(), 5000);
                     ++killed;
                 }
             }
             return ok(std::to_wstring(killed));
         }},
        // instance-held: 1 while a copy of the program holds its single-copy object. A killed
        // copy's windows can go before its handles do; a copy started in between would take
        // itself for the second one.
        {L"instance-held", 0,
         [](const Args&, Session&) {
             const kernel_handle held(OpenMutexW(SYNCHRONIZE, FALSE, zorvo::kInstanceMutexName));
             return ok(flag(static_cast<bool>(held)));
         }},
        // accessible CLASS ID: ROLE STATE NAME ACTION (tab-separated) of the control's client
        // object, as a screen reader in another process gets it.
        {L"accessible", 2,
         [](const Args& a, Session&) { return ok(describe_accessible(control(a))); }},
        // accessible-do CLASS ID: the control's default action; answers the HRESULT.
        {L"accessible-do", 2,
         [](const Args& a, Session&) { return ok(do_default_action(control(a))); }},
        // hold-file PATH: opens the file (made when missing) sharing nothing, so no other process
        // can open it while the driver runs.
        {L"hold-file", 1,
         [](const Args& a, Session& s) {
             HANDLE file = CreateFileW(a[1].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
             check(file != INVALID_HANDLE_VALUE, L"opening " + a[1]);
             s.held_file.reset(file);
             return ok();
         }},
        // contrast CLASS on|off|keep [INDEX COLOUR]...: high contrast as the program's process
        // sees it, and system colours set inside it; answers "HOOKED SET PREVIOUS..." (the
        // colours before the change).
        {L"contrast", 2,
         [](const Args& a, Session& s) {
             ContrastRequest request{};
             request.high_contrast = a[2] == L"on"    ? ContrastSwitch::on
                                     : a[2] == L"off" ? ContrastSwitch::off
                                                      : ContrastSwitch::unchanged;
             for (size_t i = 3; i + 1 < a.size() && request.count < 8; i += 2, ++request.count) {
                 request.indices[request.count] = static_cast<std::int32_t>(number(a[i]));
                 request.colours[request.count] = static_cast<std::uint32_t>(number(a[i + 1]));
             }
             const ContrastRequest done = probe_read(s, a, ProbeKind::contrast, request).contrast;
             std::wstring value = std::to_wstring(done.hooked) + L" " + std::to_wstring(done.set);
             for (std::uint32_t i = 0; i < done.count; ++i) {
                 value += L" " + hex(done.previous[i]);
             }
             return ok(value);
         }},
        // setting-change: what the system sends every top-level window when high contrast is
        // switched (a message that can only be sent, not posted).
        {L"setting-change", 0,
         [](const Args&, Session&) {
             DWORD_PTR result = 0;
             SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0,
                                 SMTO_ABORTIFHUNG, send_timeout_ms, &result);
             return ok();
         }},
    };
    return table;
}

} // namespace

void check(bool succeeded, const std::wstring& what) {
    if (!succeeded) {
        throw Failure(what + L" failed: " + std::to_wstring(GetLastError()));
    }
}

std::wstring run_command(const std::vector<std::wstring>& tokens, Session& session) {
    if (tokens.empty()) {
        return L"error empty command";
    }
    for (const Command& command : commands()) {
        if (tokens[0] != command.name) {
            continue;
        }
        if (tokens.size() < command.min_args + 1) {
            return L"error too few arguments for " + tokens[0];
        }
        try {
            return command.run(tokens, session);
        } catch (const Failure& failure) {
            return L"error " + failure.text;
        }
    }
    return L"error unknown command " + tokens[0];
}

} // namespace zdrive
