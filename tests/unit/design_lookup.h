#pragma once
// A lookup in the design tables by name, which only the tests need: the program itself goes by
// IDs.

#include <stdexcept>
#include <string_view>

#include "core/form_layout.h"

namespace zorvo {

inline const ControlDesc& control(const FormDesc& form, std::wstring_view name) {
    for (const ControlDesc& c : form.controls) {
        if (c.name == name) {
            return c;
        }
    }
    throw std::logic_error("no control in the design");
}

} // namespace zorvo
