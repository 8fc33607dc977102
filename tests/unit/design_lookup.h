#pragma once
// Lookups in the design tables by name and in the route tables, which only the tests need: the
// program itself goes by IDs.

#include <span>
#include <string_view>

#include "core/form_layout.h"
#include "core/routes.h"

namespace zorvo {

template <typename T> const T* findByName(std::span<const T> table, std::wstring_view name) {
    for (const T& entry : table) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

inline const ControlDesc* findControl(const FormDesc& form, std::wstring_view name) {
    return findByName(form.controls, name);
}

inline const MenuDesc* findMenu(const FormDesc& form, std::wstring_view name) {
    return findByName(form.menus, name);
}

inline const TimerDesc* findTimer(const FormDesc& form, std::wstring_view name) {
    return findByName(form.timers, name);
}

/// How many routes the table has for `event` of `source`.
template <typename Logic>
int countRoutes(std::span<const Route<Logic>> routes, int source, Event event) {
    int count = 0;
    for (const Route<Logic>& route : routes) {
        count += route.source == source && route.event == event ? 1 : 0;
    }
    return count;
}

} // namespace zorvo
