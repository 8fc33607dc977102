#pragma once
// The fonts of one form's controls at the form's DPI: one font per face and size, shared by the
// controls that use it, made again when the DPI changes.

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/form_layout.h"
#include "core/unique_handle_win32.h"

namespace zorvo::ui {

class ChildControl;

class FormFonts {
public:
    /// Gives every control with a designed font that font at `dpi`. The old fonts stay alive until
    /// every control has its new one.
    void apply(std::span<const std::unique_ptr<ChildControl>> controls, UINT dpi);

private:
    HFONT fontFor(const ControlDesc& control, UINT dpi);

    struct Font {
        std::wstring face;
        double pointSize;
        unique_hfont handle;
    };
    std::vector<Font> fonts_;
};

} // namespace zorvo::ui
