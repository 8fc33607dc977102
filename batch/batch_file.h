#pragma once
// The batch files that start the program with a task: their names, switches and exact bytes.

#include <functional>
#include <optional>
#include <string>

#include "core/tasks.h"
#include "text/encoding.h"

namespace zorvo {

/// The task the dialog lists as `item`, or nothing.
const Task* findBatchAction(const std::wstring& item);

struct BatchRequest {
    std::wstring programFolder; // ends in "\"
    std::wstring exeName;       // without extension
    const Task* action;         // its batch file's name and switch
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
