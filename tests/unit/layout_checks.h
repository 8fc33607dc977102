#pragma once
// Checks shared by the tests of the forms' design tables: where a control lies in its form's
// client area, and that no two of them cover each other.

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "core/dpi_math.h"
#include "core/form_layout.h"
#include "design_lookup.h"

namespace zorvo::layout_checks {

/// Where a control lies in the form's client area, in twips.
struct Box {
    int left, top, right, bottom;
    bool overlaps(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

/// The control's box in the form, following its frame (checking that it lies inside the frame).
inline Box boxInForm(const FormDesc& form, const ControlDesc& control) {
    Box box{control.left, control.top, control.left + control.width, control.top + control.height};
    if (control.parentId != 0) {
        const auto frame = std::find_if(form.controls.begin(), form.controls.end(),
                                        [&](const auto& c) { return c.id == control.parentId; });
        if (frame == form.controls.end()) {
            ADD_FAILURE() << "no frame for " << std::wstring(control.name);
            return box;
        }
        EXPECT_EQ(frame->kind, ControlKind::Frame);
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
inline void expectNoOverlaps(const FormDesc& form,
                             const std::set<std::pair<std::wstring, std::wstring>>& allowed = {}) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        for (std::size_t j = i + 1; j < form.controls.size(); ++j) {
            const ControlDesc& a = form.controls[i];
            const ControlDesc& b = form.controls[j];
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

/// Relative luminance of an &H00BBGGRR colour, 0 (black) to 1 (white), as WCAG defines it.
inline double luminance(Colour c) {
    const auto channel = [](Colour v) {
        const double s = static_cast<double>(v & 0xFF) / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c) + 0.7152 * channel(c >> 8) + 0.0722 * channel(c >> 16);
}

/// WCAG's contrast ratio of two colours: 1 (the same) to 21 (black and white).
inline double contrast(Colour a, Colour b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

/// Every control shows its text readably: a font of a sensible size in a box tall enough for it,
/// in a colour that stands out from what lies behind it (its own back, or the form's), and a
/// tooltip, where it has one, that says something.
inline void expectReadable(const FormDesc& form) {
    for (const auto& control : form.controls) {
        const std::wstring name(control.name);
        EXPECT_FALSE(control.fontFace.empty()) << name;
        EXPECT_GE(control.pointSize, 8.0) << name;
        EXPECT_LE(control.pointSize, 14.0) << name;
        if (control.kind != ControlKind::TextBox && control.kind != ControlKind::Frame) {
            EXPECT_GE(twipsToPixels(control.height, 96), -fontHeightForDpi(control.pointSize, 96))
                << "text taller than its box: " << name;
        }
        if (control.tooltip != nullptr) {
            EXPECT_NE(control.tooltip[0], L'\0') << "an empty tooltip box: " << name;
        }
        const Colour back = control.backColour.value_or(form.backColour);
        EXPECT_GE(contrast(control.foreColour, back), 3.0)
            << "text hard to tell from its background: " << name;
    }
}

} // namespace zorvo::layout_checks
