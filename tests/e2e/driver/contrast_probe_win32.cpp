#include <windows.h>

#include <cstring>

#include "probe_protocol.h"

namespace zdrive {

namespace {

using SpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);

SpiFunction real_spi = nullptr;
volatile LONG high_contrast_on = 0;

// The program's SystemParametersInfoW: the system's answer, with the high-contrast flag as the
// test set it.
BOOL WINAPI test_spi(UINT action, UINT param, PVOID data, UINT flags) {
    const BOOL result = real_spi(action, param, data, flags);
    if (action == SPI_GETHIGHCONTRAST && data != nullptr) {
        auto* contrast = static_cast<HIGHCONTRASTW*>(data);
        if (high_contrast_on != 0) {
            contrast->dwFlags |= HCF_HIGHCONTRASTON;
        } else {
            contrast->dwFlags &= ~static_cast<DWORD>(HCF_HIGHCONTRASTON);
        }
        return TRUE;
    }
    return result;
}

// Points the program's import of `name` from user32.dll at `replacement`.
bool patch_user32_import(const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return false;
    }
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (_stricmp(reinterpret_cast<const char*>(base + library->Name), "user32.dll") != 0 ||
            library->OriginalFirstThunk == 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* by_name =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) != 0) {
                continue;
            }
            DWORD old = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                                &old)) {
                return false;
            }
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

bool hook_spi() {
    static bool hooked = false;
    if (!hooked) {
        real_spi = reinterpret_cast<SpiFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoW")));
        hooked = real_spi != nullptr &&
                 patch_user32_import("SystemParametersInfoW", reinterpret_cast<void*>(&test_spi));
    }
    return hooked;
}

} // namespace

void apply_contrast_request(ContrastRequest& request) {
    request.hooked = hook_spi() ? 1 : 0;
    if (request.high_contrast != ContrastSwitch::unchanged) {
        InterlockedExchange(&high_contrast_on, request.high_contrast == ContrastSwitch::on ? 1 : 0);
    }
    const UINT count = request.count < 8 ? request.count : 8;
    COLORREF colours[8] = {};
    for (UINT i = 0; i < count; ++i) {
        request.previous[i] = GetSysColor(request.indices[i]);
        colours[i] = request.colours[i];
    }
    // Sends WM_SYSCOLORCHANGE to every top-level window, the program's among them.
    request.set =
        count == 0 || SetSysColors(static_cast<int>(count), request.indices, colours) != FALSE;
}

} // namespace zdrive
