#include "core/shell_messages.h"

#include "core/tray_icon_record.h"

namespace zorvo {

void letShellMessagesIn(MessageFilter& filter, unsigned taskbarCreated) {
    // The callback shares its number with the mouse's own messages, which the system lets
    // through anyway on most versions; asking costs nothing and covers the rest.
    filter.allow(TrayIconRecord::kCallbackMessage);
    if (taskbarCreated != 0) {
        // Without it the icon of an elevated copy never comes back after Explorer restarts.
        filter.allow(taskbarCreated);
    }
}

} // namespace zorvo
