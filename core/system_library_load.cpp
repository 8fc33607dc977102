#include "core/system_library_load.h"

namespace zorvo {

void* loadSystemLibrary(LibraryLoader& loader, const std::wstring& name) {
    unsigned long error = 0;
    if (void* library = loader.loadFromSystemFolder(name, error)) {
        return library;
    }
    if (error != kSearchFlagRefused) {
        // The search was made and found nothing usable; another place would be a wrong one.
        return nullptr;
    }
    std::wstring path = loader.systemFolder();
    if (path.empty()) {
        return nullptr;
    }
    if (path.back() != L'\\') {
        path += L'\\';
    }
    return loader.loadFullPath(path + name);
}

} // namespace zorvo
