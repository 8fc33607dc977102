#include "app/tray_icon_record.h"

namespace zorvo {

void TrayIconRecord::setTip(std::wstring_view text) {
    const std::size_t length = text.size() < kTipLength ? text.size() : kTipLength - 1;
    tipField.assign(text.substr(0, length));
    tipField.push_back(L'\0');
    tipField.resize(kTipLength, L' ');
}

std::wstring TrayIconRecord::tipText() const {
    const std::size_t end = tipField.find(L'\0');
    return tipField.substr(0, end == std::wstring::npos ? tipField.size() : end);
}

std::array<std::uint8_t, TrayIconRecord::kByteSize> toAnsiBytes(const TrayIconRecord& record,
                                                                const text::Encoder& encoder) {
    std::array<std::uint8_t, TrayIconRecord::kByteSize> bytes{};
    std::size_t at = 0;
    auto put32 = [&](std::uint64_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes[at++] = static_cast<std::uint8_t>((value >> shift) & 0xFF);
        }
    };
    put32(record.size);
    put32(record.window);
    put32(record.identifier);
    put32(record.flags);
    put32(record.callbackMessage);
    put32(record.icon);
    const std::string tip = encoder.encodeLossy(record.tipField);
    for (std::size_t i = 0; i < TrayIconRecord::kTipLength; ++i) {
        bytes[at++] = i < tip.size() ? static_cast<std::uint8_t>(tip[i]) : std::uint8_t{' '};
    }
    return bytes;
}

} // namespace zorvo
