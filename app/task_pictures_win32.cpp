#include "app/task_pictures_win32.h"

#include "resources/resource_ids.h"
#include "ui/dpi_win32.h"

namespace zorvo {

namespace {

int resourceOf(TaskPictures::Holder holder) {
    switch (holder) {
    case TaskPictures::Holder::imgShutDown:
        return IDI_SHUTDOWN;
    case TaskPictures::Holder::imgWait:
        return IDI_WAIT;
    case TaskPictures::Holder::imgReboot:
        return IDI_REBOOT;
    case TaskPictures::Holder::imgAlarm:
        return IDI_ALARM;
    case TaskPictures::Holder::imgDisconnect:
        return IDI_DISCONNECT;
    }
    return IDI_SHUTDOWN;
}

} // namespace

ui::IconHandle TaskPicturesWin32::picture(Holder holder) {
    unique_hicon& slot = loaded_.at(static_cast<std::size_t>(holder));
    if (!slot) {
        // The notification area shows them at the small icon size of the primary screen.
        slot.reset(ui::loadIconForDpi(instance_, resourceOf(holder), SM_CXSMICON, ui::systemDpi()));
    }
    return reinterpret_cast<ui::IconHandle>(slot ? slot.get() : fallback_);
}

} // namespace zorvo
