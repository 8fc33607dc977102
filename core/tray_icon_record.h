#pragma once
// The notification-area icon's record. The program keeps one and changes only its tip and its
// picture; everything else is fixed when the window loads. It has no size field: the front end
// passes the system's own structure, whose size is that structure's.

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvo {

struct TrayIconRecord {
    static constexpr std::size_t kTipLength = 48;
    static constexpr std::uint32_t kIdentifier = 1;
    static constexpr std::uint32_t kFlags = 7; // message + icon + tip
    static constexpr std::uint32_t kCallbackMessage = 0x200;

    std::uintptr_t window = 0;
    std::uint32_t identifier = kIdentifier;
    std::uint32_t flags = kFlags;
    std::uint32_t callbackMessage = kCallbackMessage;
    std::uintptr_t icon = 0;
    /// The whole 48-character tip field: the text, a NUL, then blanks.
    std::wstring tipField = std::wstring(kTipLength, L' ');

    /// Stores `text` (at most 47 characters; longer text is cut) followed by NUL, blank-filled.
    void setTip(std::wstring_view text);
    /// The tip as the shell shows it: the field up to its NUL.
    std::wstring tipText() const;
};

enum class TrayOperation : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

} // namespace zorvo
