#include "core/tray_icon_record.h"

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

} // namespace zorvo
