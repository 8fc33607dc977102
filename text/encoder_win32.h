#pragma once
// The encoder backed by the system's own code-page tables, so files come out in whatever code
// page this Windows uses, not only the two Cyrillic ones the portable tables know.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "text/encoding.h"

namespace zorvo::text {

class Win32Encoder final : public Encoder {
public:
    /// `codePage` is a real code-page number (GetACP(), GetOEMCP(), 1251, 65001...), never one of
    /// the CP_ACP / CP_OEMCP aliases, so what the encoder does never depends on a hidden lookup.
    explicit Win32Encoder(UINT codePage) : codePage_(codePage) {}

    /// The system's ANSI code page.
    static Win32Encoder ansi() { return Win32Encoder(GetACP()); }
    /// The system's OEM code page (the console's, the one cmd.exe reads batch files in).
    static Win32Encoder oem() { return Win32Encoder(GetOEMCP()); }

    UINT codePage() const { return codePage_; }

    std::optional<std::string> encodeExact(std::wstring_view text) const override;

private:
    UINT codePage_;
};

} // namespace zorvo::text
