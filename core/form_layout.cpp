#include "core/form_layout.h"

namespace zorvo {

namespace {

template <typename T> const T* findByName(std::span<const T> table, std::wstring_view name) {
    for (const T& entry : table) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

const ControlDesc* findControl(const FormDesc& form, std::wstring_view name) {
    return findByName(form.controls, name);
}

const MenuDesc* findMenu(const FormDesc& form, std::wstring_view name) {
    return findByName(form.menus, name);
}

const TimerDesc* findTimer(const FormDesc& form, std::wstring_view name) {
    return findByName(form.timers, name);
}

} // namespace zorvo
