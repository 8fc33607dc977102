#pragma once
// A lookup in the design tables by name, which only the tests need: the program itself goes by
// IDs.

#include <span>
#include <string_view>

#include "core/form_layout.h"

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

} // namespace zorvo
