#include "core/system_library_load.h"

namespace zorvo {

void* loadSystemLibrary(LibraryLoader& loader, const std::wstring& name) {
    if (loader.searchFlagsKnown()) {
        // When the search finds nothing usable, another place would be a wrong one.
        return loader.loadFromSystemFolder(name);
    }
    std::wstring path = loader.systemFolder();
    if (path.empty()) {
        return nullptr;
    }
    if (path.back() != L'\\') {
        path += L'\\';
    }
    return loader.loadFullPath(path + name, false);
}

void* loadLibraryAt(LibraryLoader& loader, const std::wstring& path) {
    return loader.loadFullPath(path, loader.searchFlagsKnown());
}

} // namespace zorvo
