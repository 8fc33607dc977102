#include "ui/guard_win32.h"

#include <exception>
#include <utility>

#include "core/errors.h"
#include "core/product.h"

namespace zorvo::ui {

namespace {

bool g_reporting = false;

std::function<void()>& cleanupSlot() {
    static std::function<void()> cleanup;
    return cleanup;
}

std::wstring fromAnsi(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

constexpr wchar_t kUnexpected[] = L"Непредвиденная ошибка";

} // namespace

bool reportingUntrappedError() noexcept {
    return g_reporting;
}

void setUntrappedErrorCleanup(std::function<void()> cleanup) {
    cleanupSlot() = std::move(cleanup);
}

void reportUntrappedError(const std::wstring& text) noexcept {
    if (!g_reporting) {
        g_reporting = true;
        try {
            if (cleanupSlot()) {
                cleanupSlot()();
            }
        } catch (...) {
            // The box and the end of the program matter more than a tidy tray.
        }
        MessageBoxW(nullptr, text.c_str(), kTitle, MB_OK);
    }
    ExitProcess(1);
}

void reportCurrentException() noexcept {
    std::wstring text;
    try {
        std::rethrow_exception(std::current_exception());
    } catch (const UntrappedError& error) {
        text = error.message();
    } catch (const std::exception& error) {
        try {
            text = std::wstring(kUnexpected) + L": " + fromAnsi(error.what());
        } catch (...) {
            text.clear();
        }
    } catch (...) {
    }
    if (text.empty()) {
        text = std::wstring(kUnexpected) + L".";
    }
    reportUntrappedError(text);
}

} // namespace zorvo::ui
