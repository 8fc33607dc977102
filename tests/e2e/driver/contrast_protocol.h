// What the driver asks of zprobe.dll to stand in for the system's high-contrast switch inside the
// program's process, and what the probe hands back. Wine 8 keeps high contrast off whatever is
// asked (SPI_SETHIGHCONTRAST fails, SPI_GETHIGHCONTRAST answers off) and each process keeps the
// system colours it started with, so both are changed from inside the program.
#pragma once

#include <cstdint>

namespace zdrive {

// Followed by the driver's process ID in decimal.
inline constexpr wchar_t contrast_mapping_prefix[] = L"Local\\ZDriveContrast-";

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

} // namespace zdrive
