// What zprobe.dll, running inside the program's process, hands back to the driver: the state of
// every item of a window's menu bar. Menus belong to their process, so only code inside it can
// read their check marks reliably.
#pragma once

#include <cstdint>

namespace zdrive {

inline constexpr wchar_t probe_message_name[] = L"ZDriveMenuProbe";
inline constexpr char probe_hook_export[] = "ZProbeGetMessage";
// Followed by the driver's process ID in decimal.
inline constexpr wchar_t probe_mapping_prefix[] = L"Local\\ZDriveProbeData-";
inline constexpr wchar_t probe_event_prefix[] = L"Local\\ZDriveProbeDone-";

struct ProbeItem {
    std::uint32_t id;
    std::uint32_t state; // MFS_* flags
};

// What the probe reads: the menu bar, how each child's text fits its window, the tooltips, or
// the window's icons.
enum class ProbeKind : std::uint32_t {
    menu = 0,
    texts = 1,
    tips = 2,
    icons = 3,
    // Stands in for the system's high-contrast switch, as ProbeBlock::contrast asks.
    contrast = 16,
};

// Wine 8 keeps high contrast off whatever is asked (SPI_SETHIGHCONTRAST fails,
// SPI_GETHIGHCONTRAST answers off) and each process keeps the system colours it started with, so
// the probe changes both inside the program's process.
enum class ContrastSwitch : std::uint32_t { off = 0, on = 1, unchanged = 2 };

struct ContrastRequest {
    ContrastSwitch high_contrast;
    // System colours to set (SetSysColors), by COLOR_* index.
    std::uint32_t count;
    std::int32_t indices[8];
    std::uint32_t colours[8];
    // Written by the probe: the colours before the change, and whether it took.
    std::uint32_t previous[8];
    std::uint32_t hooked; // SPI_GETHIGHCONTRAST answers as asked
    std::uint32_t set;    // SetSysColors succeeded
};

// One child window's text measured with the font it draws with, in its own device context.
struct ProbeText {
    std::int32_t id;
    std::uint32_t style;
    wchar_t class_name[32];
    std::int32_t client_width, client_height;
    std::int32_t line_width, line_height; // the text on one line
    std::int32_t wrapped_height;          // the text broken into the client width
    std::int32_t dpi;                     // the window's
};

// One tool of a tooltip window that the window owns: the control it belongs to and its text.
struct ProbeTip {
    std::int32_t id;
    wchar_t text[80];
};

struct ProbeBlock {
    std::uint32_t count; // of the menu's items, its submenus' included
    ProbeItem items[256];
    std::uint32_t text_count;
    ProbeText texts[64];
    std::uint32_t tip_count;
    ProbeTip tips[32];
    // The widths of the icons the shell shows for the window (its own, else its class's); 0: none.
    std::int32_t big_icon_width, small_icon_width;
    ContrastRequest contrast; // written by the driver before it asks
};

// zprobe.dll's part in the high-contrast tests, inside the program's process: answers
// SPI_GETHIGHCONTRAST in the program's stead, sets the system colours, writes back what it found.
void apply_contrast_request(ContrastRequest& request);

} // namespace zdrive
