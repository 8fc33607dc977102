// zprobe.dll's part in the high-contrast tests: answers SPI_GETHIGHCONTRAST in the program's stead
// and sets the system colours inside its process.
#pragma once

#include "probe_protocol.h"

namespace zdrive {

// Carries out the driver's request and writes back what it found.
void apply_contrast_request(ContrastRequest& request);

} // namespace zdrive
