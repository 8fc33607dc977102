#include "core/com_win32.h"

#include "core/system_library_win32.h"

namespace zorvo {

const OleApi& ole() noexcept {
    static const OleApi api = [] {
        const HMODULE com = systemLibrary(L"ole32.dll");
        const HMODULE automation = systemLibrary(L"oleaut32.dll");
        OleApi loaded;
        loaded.CoInitializeEx = systemFunction<decltype(::CoInitializeEx)>(com, "CoInitializeEx");
        loaded.CoUninitialize = systemFunction<decltype(::CoUninitialize)>(com, "CoUninitialize");
        loaded.CoGetObject = systemFunction<decltype(::CoGetObject)>(com, "CoGetObject");
        loaded.SysAllocString =
            systemFunction<decltype(::SysAllocString)>(automation, "SysAllocString");
        loaded.SysFreeString =
            systemFunction<decltype(::SysFreeString)>(automation, "SysFreeString");
        loaded.VariantInit = systemFunction<decltype(::VariantInit)>(automation, "VariantInit");
        loaded.VariantClear = systemFunction<decltype(::VariantClear)>(automation, "VariantClear");
        loaded.VariantChangeType =
            systemFunction<decltype(::VariantChangeType)>(automation, "VariantChangeType");
        loaded.complete = loaded.CoInitializeEx && loaded.CoUninitialize && loaded.CoGetObject &&
                          loaded.SysAllocString && loaded.SysFreeString && loaded.VariantInit &&
                          loaded.VariantClear && loaded.VariantChangeType;
        return loaded;
    }();
    return api;
}

} // namespace zorvo
