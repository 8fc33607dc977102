#pragma once
// Where a library is loaded from. A system library only ever from the system folder: a bare name
// would let a library of the same name in the program's or the current folder be loaded instead.

#include <string>

namespace zorvo {

/// The system's library loader, as far as the program's libraries go.
class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    /// Whether this Windows knows the LOAD_LIBRARY_SEARCH_* flags: Windows 8 and later, and 7
    /// with update KB2533623, which export AddDllDirectory from kernel32 exactly then.
    virtual bool searchFlagsKnown() = 0;
    /// Loads `name` searching the system folder only (LOAD_LIBRARY_SEARCH_SYSTEM32); null on
    /// failure.
    virtual void* loadFromSystemFolder(const std::wstring& name) = 0;
    /// Loads the library at a full path, its own dependencies looked for beside it and in the
    /// system folder: with the search flags, or else with the altered search order. Null on
    /// failure.
    virtual void* loadFullPath(const std::wstring& path, bool searchFlags) = 0;
    /// The system folder, empty when it cannot be had.
    virtual std::wstring systemFolder() = 0;
};

/// Loads a system library by its file name: through the system-folder search where the system
/// knows it, else by its full path in the system folder. Null when it cannot be had that way.
void* loadSystemLibrary(LibraryLoader& loader, const std::wstring& name);

/// Loads the library at a full path with the search flags where the system knows them.
void* loadLibraryAt(LibraryLoader& loader, const std::wstring& path);

} // namespace zorvo
