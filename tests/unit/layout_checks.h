#pragma once
// Checks shared by the tests of the forms' design tables: where a control lies in its form's
// client area, and that no two of them cover each other.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "ui/form_layout.h"

namespace zorvo::layout_checks {

/// Where a control lies in the form's client area, in twips.
struct Box {
    int left, top, right, bottom;
    bool overlaps(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

/// The control's box in the form, following its frame (checking that it lies inside the frame).
inline Box boxInForm(const ui::FormDesc& form, const ui::ControlDesc& control) {
    Box box{control.left, control.top, control.left + control.width, control.top + control.height};
    if (control.parentId != 0) {
        const auto frame = std::find_if(form.controls.begin(), form.controls.end(),
                                        [&](const auto& c) { return c.id == control.parentId; });
        if (frame == form.controls.end()) {
            ADD_FAILURE() << "no frame for " << std::wstring(control.name);
            return box;
        }
        EXPECT_EQ(frame->kind, ui::ControlKind::Frame);
        EXPECT_LE(box.right, frame->width)
            << "sticks out of its frame: " << std::wstring(control.name);
        EXPECT_LE(box.bottom, frame->height) << std::wstring(control.name);
        box = Box{box.left + frame->left, box.top + frame->top, box.right + frame->left,
                  box.bottom + frame->top};
    }
    return box;
}

/// No two controls cover each other, except a control inside its own frame and the pairs the
/// design lets overlap (names in either order).
inline void expectNoOverlaps(const ui::FormDesc& form,
                             const std::set<std::pair<std::wstring, std::wstring>>& allowed = {}) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        for (std::size_t j = i + 1; j < form.controls.size(); ++j) {
            const ui::ControlDesc& a = form.controls[i];
            const ui::ControlDesc& b = form.controls[j];
            const std::wstring an(a.name), bn(b.name);
            if (a.parentId == b.id || b.parentId == a.id || allowed.count({an, bn}) != 0 ||
                allowed.count({bn, an}) != 0) {
                continue;
            }
            EXPECT_FALSE(boxInForm(form, a).overlaps(boxInForm(form, b)))
                << std::wstring(form.className) << ": " << an << " and " << bn << " overlap";
        }
    }
}

} // namespace zorvo::layout_checks
