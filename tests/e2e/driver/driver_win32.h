// zdrive.exe's parts: its text protocol, finding the program's windows the way an automation
// script does, reading them as the screen and a screen reader show them, the menu probe, and
// the commands.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/unique_handle_win32.h"
#include "probe_protocol.h"

namespace zdrive {

struct view_traits : zorvo::null_handle_traits<void*> {
    static bool close(void* value) noexcept { return UnmapViewOfFile(value) != FALSE; }
};
struct hook_traits : zorvo::null_handle_traits<HHOOK> {
    static bool close(HHOOK value) noexcept { return UnhookWindowsHookEx(value) != FALSE; }
};
using kernel_handle = zorvo::unique_kernel_handle;
using mapped_view = zorvo::unique_handle<view_traits>;
using hook_handle = zorvo::unique_handle<hook_traits>;

// The protocol: one command per line in ASCII, tokens separated by single spaces, each token with
// backslash escapes (\\ \s, and \uXXXX for a UTF-16 unit beyond printable ASCII) so it can
// carry any text; one answer line per command, UTF-8, its value with backslash, CR, LF and tab
// escaped.
std::vector<std::wstring> split_tokens(std::wstring_view line);
std::wstring escape_value(std::wstring_view text);
// "0x" and the number in upper-case hex digits.
std::wstring hex(unsigned long long value);

// A command that cannot be carried out; its text becomes the "error" answer.
struct Failure {
    explicit Failure(std::wstring why) : text(std::move(why)) {}
    std::wstring text;
};
// Throws the failure of the Windows call `what` unless it succeeded.
void check(bool succeeded, const std::wstring& what);

struct TopWindow {
    HWND hwnd = nullptr;
    DWORD pid = 0;
    bool visible = false;
};

// Every top-level window of the class, optionally with the given caption.
std::vector<TopWindow> top_windows(const std::wstring& cls, const std::wstring* caption = nullptr);

// The window a test means by "CLASS" or "CLASS@PID" (only that process's windows): a visible one if
// there is any, otherwise a hidden one; among several, the one of the earliest started process,
// since a second copy of the program briefly owns a hidden window of the same class. Throws
// Failure when there is none.
HWND find_top(const std::wstring& spec);

// The Edit child that receives typing for a combo box (any other control itself).
HWND edit_of(HWND control);

std::wstring class_of(HWND hwnd);

// Writes the client area of `window`, as the screen shows it, to `path` as a binary PPM (P6, 8
// bits per channel, rows top to bottom). The pixels come from the screen because the window is
// another process's: PrintWindow asks it to draw into a device context of this process, which
// under Wine comes back black. So the client area must be on the screen and uncovered. Throws
// Failure with what went wrong.
void capture_client(HWND window, const std::wstring& path);

// A control as a screen reader in another process reads it (AccessibleObjectFromWindow with
// OBJID_CLIENT): "ROLE\tSTATE\tNAME\tACTION", role and state in hex, the name and the default
// action escaped (empty when there is none); and its default action run, answering the HRESULT
// in hex. Both throw Failure when no object can be had.
std::wstring describe_accessible(HWND control);
std::wstring do_default_action(HWND control);

// The driver's side of zprobe.dll: sets the hook on the window's thread, asks, waits.
class MenuProbe {
public:
    // What the probe read inside the program; throws Failure when the probe could not be set up
    // or did not answer in time.
    ProbeBlock read(HWND top, DWORD timeout_ms, ProbeKind kind = ProbeKind::menu,
                    const ContrastRequest& contrast = {});

private:
    void prepare();

    zorvo::unique_hmodule module_;
    HOOKPROC hook_proc_ = nullptr;
    kernel_handle mapping_;
    kernel_handle done_;
    mapped_view view_;
    std::map<DWORD, hook_handle> hooks_;
};

struct Session {
    MenuProbe probe;
    kernel_handle held_file; // hold-file
};

// One command line's tokens to one answer line: "ok[ VALUE]", "timeout", "none" or
// "error MESSAGE".
std::wstring run_command(const std::vector<std::wstring>& tokens, Session& session);

} // namespace zdrive
