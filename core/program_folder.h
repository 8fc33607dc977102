#pragma once
// Paths built on the program's folder, as the system reports it: without a trailing separator,
// except for a drive root such as "C:\", which already ends in one.

#include <string>

namespace zorvo {

/// The folder followed by "\", unless it is a drive root (at most 3 characters), used unchanged.
std::wstring withTrailingSeparator(const std::wstring& folder);

/// Full path of sleep.dll beside the program.
std::wstring powerLibraryPath(const std::wstring& folder);

} // namespace zorvo
