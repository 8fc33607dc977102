#include "core/window_dpi.h"

namespace zorvo {

unsigned dpiOfWindow(DpiQueries& queries) {
    if (const unsigned dpi = queries.windowDpi()) {
        return dpi;
    }
    if (const unsigned dpi = queries.monitorDpi()) {
        return dpi;
    }
    return queries.systemDpi();
}

} // namespace zorvo
