#pragma once
// The colours a form is drawn in. Normally they are the design's own: the form's colour and
// picture, each control's table colours and whatever colours the handlers set since. With the
// system's high contrast on, everything is drawn in the system's colours instead, without the
// picture, so a user with low vision sees the program as they set their screen up to be seen.
// The handlers keep setting and reading the design's colours either way; only the drawing
// differs.

#include <optional>

#include "core/controls.h"
#include "core/form_layout.h"

namespace zorvo::ui {

/// The system colours a form may be drawn in.
struct SystemColours {
    Colour window = 0;        ///< a window's background
    Colour windowText = 0;    ///< text on it
    Colour hotLight = 0;      ///< a link or a clickable item, on the window's background
    Colour highlight = 0;     ///< the background of the item under the pointer or selected
    Colour highlightText = 0; ///< text on the highlight
    Colour grayText = 0;      ///< disabled text

    bool operator==(const SystemColours&) const = default;
};

struct Palette {
    bool highContrast = false;
    SystemColours system{};

    bool operator==(const Palette&) const = default;
};

/// A form's background: a plain colour, with the design's picture over it or not.
struct BackgroundLook {
    Colour colour = 0;
    bool picture = true;
};

BackgroundLook backgroundLook(const Palette& palette, const FormDesc& form);

/// A label as its handlers left it.
struct LabelState {
    Colour fore = 0;
    Colour back = 0;
    bool border = false;
    bool enabled = true;
};

/// How a label is drawn: its rectangle filled or not, its text, a frame round it or not.
struct LabelLook {
    std::optional<Colour> fill{};
    Colour text = 0;
    std::optional<Colour> frame{};
};

LabelLook labelLook(const Palette& palette, const ControlDesc& desc, const LabelState& state);

/// Whether the handlers have put a clickable label into its hover highlight: a text colour other
/// than the design's (the main window, the link) or a border (the dialogs' buttons, whose back
/// colour changes with it).
bool labelHighlighted(const ControlDesc& desc, const LabelState& state);

/// Text and background of a control the system draws (combo box, text box, frame, option
/// button), on a form whose design colour is `formBack`.
struct ControlLook {
    Colour text = 0;
    Colour back = 0;
};

ControlLook controlLook(const Palette& palette, const ControlDesc& desc, Colour formBack,
                        bool enabled);

/// How a layered window that must show fully opaque is composed. The design's colour key
/// (all 32 bits set) matches none of the design's colours; a system that compares only its
/// colour part would read it as white, which a high-contrast scheme may well paint. So under
/// high contrast the window is made opaque by its alpha instead, with no colour key at all.
struct OpaqueLayering {
    bool colourKey = true; ///< key out `key`; otherwise blend with `alpha`
    Colour key = 0xFFFFFFFF;
    unsigned char alpha = 0;
};

OpaqueLayering opaqueLayering(const Palette& palette);

} // namespace zorvo::ui
