#pragma once
// Where a system library is loaded from. Only ever from the system folder: a bare name would let
// a library of the same name in the program's or the current folder be loaded instead.

#include <string>

namespace zorvo {

/// The system's library loader, as far as system libraries go.
class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    /// Loads `name` searching the system folder only (LOAD_LIBRARY_SEARCH_SYSTEM32); null on
    /// failure, with the system's error code in `error`.
    virtual void* loadFromSystemFolder(const std::wstring& name, unsigned long& error) = 0;
    /// Loads the library at a full path; null on failure.
    virtual void* loadFullPath(const std::wstring& path) = 0;
    /// The system folder, empty when it cannot be had.
    virtual std::wstring systemFolder() = 0;
};

/// ERROR_INVALID_PARAMETER: what Windows 7 without update KB2533623 answers to the search flag.
inline constexpr unsigned long kSearchFlagRefused = 87;

/// Loads a system library by its file name: through the system-folder search where the system
/// knows it, else by its full path in the system folder. Null when it cannot be had that way.
void* loadSystemLibrary(LibraryLoader& loader, const std::wstring& name);

} // namespace zorvo
