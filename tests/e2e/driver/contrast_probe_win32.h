// zprobe.dll's part in the high-contrast tests: answers SPI_GETHIGHCONTRAST in the program's stead
// and sets the system colours inside its process.
#pragma once

#include <windows.h>

namespace zdrive {

// Carries out the request the driver with this process ID left in its shared memory.
void apply_contrast_request(DWORD driver_pid);

} // namespace zdrive
