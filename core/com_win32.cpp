#include "core/com_win32.h"

#include "core/system_library_win32.h"

namespace zorvo {

const OleApi& ole() noexcept {
    static const OleApi api = [] {
        const HMODULE com = ui::systemLibrary(L"ole32.dll");
        const HMODULE automation = ui::systemLibrary(L"oleaut32.dll");
        OleApi loaded;
        loaded.CoInitializeEx =
            ui::systemFunction<decltype(::CoInitializeEx)>(com, "CoInitializeEx");
        loaded.CoUninitialize =
            ui::systemFunction<decltype(::CoUninitialize)>(com, "CoUninitialize");
        loaded.CoGetObject = ui::systemFunction<decltype(::CoGetObject)>(com, "CoGetObject");
        loaded.SysAllocString =
            ui::systemFunction<decltype(::SysAllocString)>(automation, "SysAllocString");
        loaded.SysFreeString =
            ui::systemFunction<decltype(::SysFreeString)>(automation, "SysFreeString");
        loaded.VariantInit = ui::systemFunction<decltype(::VariantInit)>(automation, "VariantInit");
        loaded.VariantClear =
            ui::systemFunction<decltype(::VariantClear)>(automation, "VariantClear");
        loaded.VariantChangeType =
            ui::systemFunction<decltype(::VariantChangeType)>(automation, "VariantChangeType");
        loaded.complete = loaded.CoInitializeEx && loaded.CoUninitialize && loaded.CoGetObject &&
                          loaded.SysAllocString && loaded.SysFreeString && loaded.VariantInit &&
                          loaded.VariantClear && loaded.VariantChangeType;
        return loaded;
    }();
    return api;
}

} // namespace zorvo
