#pragma once
// What must hold before any window of the program exists: one copy per logon, and the power
// library beside the program. A copy refused here never owns a window that a script or the shell
// could mistake for the running copy's.

#include "core/services.h"

namespace zorvo {

enum class LoadOutcome { Continue, EndProgram };

/// Refuses a second copy ("Данная программа уже запущена!") and a missing sleep.dll (its two-line
/// message), each after its message box is closed.
LoadOutcome CheckStartConditions(ProcessService& process, FileService& files,
                                 MessageBoxService& messages);

/// The library presence test: false, after the message, when sleep.dll does not exist in the
/// program's folder; any other failure to open it is not ours to judge.
bool CheckPowerLibrary(ProcessService& process, FileService& files, MessageBoxService& messages);

} // namespace zorvo
