#pragma once
// Files on the real Windows: the log and the batch files, written whole or not at all.

#include <windows.h>

#include <optional>
#include <string>

#include "core/services.h"

namespace zorvo {

class Win32Files final : public FileService {
public:
    OpenResult tryOpenForReading(const std::wstring& path) override;
    FileHead readHead(const std::wstring& name, std::size_t limit) override;
    void append(const std::wstring& name, const std::string& bytes) override;
    void replace(const std::wstring& name, const std::string& bytes) override;
};

/// The 8.3 form of an existing path, or nothing when the system cannot give one. Where the volume
/// keeps no short names it is the path unchanged.
std::optional<std::wstring> shortPathName(const std::wstring& path);

} // namespace zorvo
