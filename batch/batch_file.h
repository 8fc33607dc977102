#pragma once
// The batch files that start the program with a task: their names, switches and exact bytes.

#include <functional>
#include <optional>
#include <string>

#include "text/encoding.h"

namespace zorvo {

struct BatchAction {
    const wchar_t* item;     // as the dialog lists it
    const wchar_t* fileName; // written into the current directory
    const wchar_t* taskSwitch;
};

/// The actions in the dialog's (alphabetical) order.
inline constexpr BatchAction kBatchActions[] = {
    {L"Выключение", L"shutdown.bat", L"/v"},   {L"Ждущий режим", L"wait.bat", L"/w"},
    {L"Звуковой сигнал", L"alarm.bat", L"/a"}, {L"Перезагрузка", L"reset.bat", L"/r"},
    {L"Спящий режим", L"sleep.bat", L"/s"},
};

/// The action listed as `item`, or nothing.
const BatchAction* findBatchAction(const std::wstring& item);

struct BatchRequest {
    std::wstring programFolder; // ends in "\"
    std::wstring exeName;       // without extension
    const BatchAction* action;
    std::wstring minutes;
    std::wstring windowSwitch; // "", "/min" or "/hid"
};

/// The first line's command: "start " and the program's path with ".exe", then the task
/// switch, the minutes and the window switch, each after one blank. A path that cmd.exe would
/// split or misread is quoted after an empty window title; "%" is doubled either way.
std::wstring batchCommand(const std::wstring& exePath, const BatchRequest& request);

/// The longest path that `start` can run (MAX_PATH without its terminating NUL).
inline constexpr std::size_t kMaxPathLength = 259;

struct BatchFile {
    std::optional<std::string> bytes;
    /// Why nothing can be written, in words for the user (when `bytes` is empty).
    std::wstring error;
};

/// The file's bytes in the OEM code page cmd.exe reads batch files in. A path that code page
/// cannot hold, one longer than `start` can run, or one with "!" is written in its short form,
/// which `shortPath` gives when the volume has one; without a short form a "!" stays, the others
/// give nothing and the reason.
BatchFile
batchFileBytes(const BatchRequest& request, const text::Encoder& oem,
               const std::function<std::optional<std::wstring>(const std::wstring&)>& shortPath);

} // namespace zorvo
