#include "batch/batch_file.h"

namespace zorvo {
namespace {

/// The no-break space becomes byte 0xFF in the OEM code pages, which cmd.exe splits at as at a
/// blank.
bool needsQuotes(const std::wstring& path) {
    return path.find_first_of(L" &()[]{}^=;!'+,`~\u00A0") != std::wstring::npos;
}

std::wstring doublePercent(const std::wstring& path) {
    std::wstring out;
    for (wchar_t ch : path) {
        out.push_back(ch);
        if (ch == L'%') {
            out.push_back(L'%');
        }
    }
    return out;
}

} // namespace

const Task* findBatchAction(const std::wstring& item) {
    for (const Task& task : kTasks) {
        if (item == task.batchItem) {
            return &task;
        }
    }
    return nullptr;
}

std::wstring batchCommand(const std::wstring& exePath, const BatchRequest& request) {
    const std::wstring path = doublePercent(exePath);
    const std::wstring arguments = std::wstring(L" ") + request.action->taskSwitch + L" " +
                                   request.minutes + L" " + request.windowSwitch;
    if (needsQuotes(exePath)) {
        return L"start \"\" \"" + path + L"\"" + arguments;
    }
    return L"start " + path + arguments;
}

BatchFile
batchFileBytes(const BatchRequest& request, const text::Encoder& oem,
               const std::function<std::optional<std::wstring>(const std::wstring&)>& shortPath) {
    const std::wstring exePath = request.programFolder + request.exeName + L".exe";
    auto encode = [&](const std::wstring& path) -> std::optional<std::string> {
        if (path.size() > kMaxPathLength) {
            return std::nullopt;
        }
        return oem.encodeExact(batchCommand(path, request) + L"\r\necho exit\r\n");
    };
    // With delayed expansion on (cmd /v:on, or the registry's setting) "!" starts a variable,
    // quoted or not; a short form usually has none.
    auto safeFromExpansion = [](const std::wstring& path) {
        return path.find(L'!') == std::wstring::npos;
    };
    // The long path, then its short form; each first where "!" cannot hurt, then anyhow.
    const std::optional<std::wstring> shortForm = shortPath(exePath);
    for (const bool requireSafe : {true, false}) {
        for (const std::optional<std::wstring>& path : {std::optional(exePath), shortForm}) {
            if (!path || (requireSafe && !safeFromExpansion(*path))) {
                continue;
            }
            if (auto bytes = encode(*path)) {
                return {std::move(bytes), {}};
            }
        }
    }
    if (exePath.size() > kMaxPathLength) {
        return {std::nullopt,
                L"Не удалось создать bat-файл: путь к программе\r\n" + exePath + L"\r\nдлиннее " +
                    std::to_wstring(kMaxPathLength) +
                    L" символов, которые читает командная строка Windows, а короткого имени у "
                    L"этого пути нет.\r\nПереместите программу в папку с более коротким путём."};
    }
    return {std::nullopt,
            L"Не удалось создать bat-файл: путь к программе\r\n" + exePath +
                L"\r\nсодержит символы, которые командная строка Windows не может прочитать, а "
                L"короткого имени у этого пути нет.\r\nПереместите программу в папку с именем из "
                L"латинских букв или кириллицы."};
}

} // namespace zorvo
