#include "core/program_folder.h"

namespace zorvo {

std::wstring withTrailingSeparator(const std::wstring& folder) {
    return folder.size() <= 3 ? folder : folder + L"\\";
}

std::wstring powerLibraryPath(const std::wstring& folder) {
    return withTrailingSeparator(folder) + L"sleep.dll";
}

} // namespace zorvo
