#include "app/start_checks.h"

#include "core/product.h"
#include "core/program_folder.h"

namespace zorvo {

LoadOutcome CheckStartConditions(ProcessService& process, FileService& files,
                                 MessageBoxService& messages) {
    if (process.anotherInstanceRunning()) {
        messages.show(L"Данная программа уже запущена!");
        return LoadOutcome::EndProgram;
    }
    if (!CheckPowerLibrary(process, files, messages)) {
        return LoadOutcome::EndProgram;
    }
    return LoadOutcome::Continue;
}

bool CheckPowerLibrary(ProcessService& process, FileService& files, MessageBoxService& messages) {
    const std::wstring path = powerLibraryPath(process.programFolder());
    if (files.tryOpenForReading(path) != OpenResult::NotFound) {
        return true;
    }
    messages.show(std::wstring(L"Файл sleep.dll не найден!\r\nЗаходите на сайт ") + kHomePage +
                  L" для обновления");
    return false;
}

} // namespace zorvo
