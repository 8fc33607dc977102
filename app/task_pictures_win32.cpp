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
    }
    return IDI_SHUTDOWN;
}

} // namespace

TaskPicturesWin32::TaskPicturesWin32(HINSTANCE instance, HICON fallback)
    // The system's DPI is the primary screen's at logon, which the notification area has until the
    // user changes the scaling; asking the monitor is left to the moments it may have changed.
    : instance_(instance), fallback_(fallback), dpi_(ui::systemDpi()) {}

IconHandle TaskPicturesWin32::picture(Holder holder) {
    return loaded(static_cast<std::size_t>(holder), resourceOf(holder));
}

IconHandle TaskPicturesWin32::formIcon() {
    return loaded(kFormSlot, IDI_ZORVO);
}

IconHandle TaskPicturesWin32::loaded(std::size_t slot, int resource) {
    unique_hicon& icon = loaded_.at(slot);
    if (!icon) {
        icon.reset(ui::loadIconForDpi(instance_, resource, SM_CXSMICON, dpi_));
    }
    return reinterpret_cast<IconHandle>(icon ? icon.get() : fallback_);
}

bool TaskPicturesWin32::reloadForDpi(UINT dpi) {
    if (dpi == dpi_) {
        return false;
    }
    dpi_ = dpi;
    for (std::size_t i = 0; i < loaded_.size(); ++i) {
        retired_.at(i) = std::move(loaded_.at(i));
    }
    return true;
}

} // namespace zorvo
