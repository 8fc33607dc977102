#pragma once
// The system's message table: the words Windows itself has for an error code.

#include "core/system_error.h"

namespace zorvo {

class Win32ErrorTexts final : public SystemErrorTexts {
public:
    std::wstring describe(std::uint32_t code) override;
};

} // namespace zorvo
