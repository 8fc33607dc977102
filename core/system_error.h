#pragma once
// The system's own words for an error code, added to a failure message so that the user can
// search for them.

#include <cstdint>
#include <string>

namespace zorvo {

class SystemErrorTexts {
public:
    virtual ~SystemErrorTexts() = default;
    /// The system's text for a Win32 error code or an HRESULT, in the user's language; empty
    /// when the system has none.
    virtual std::wstring describe(std::uint32_t code) = 0;
};

/// `message` with a line "Причина: <text> (код 0x...)" added; `message` alone for code 0, which
/// names no error. The text is put on one line, without the system's trailing line break.
std::wstring withSystemReason(const std::wstring& message, std::uint32_t code,
                              const std::wstring& systemText);

} // namespace zorvo
