#include "ui/palette.h"

namespace zorvo::ui {

namespace {

/// A half-way colour between `colour` and `towards`: text in a disabled box.
Colour blend(Colour colour, Colour towards) {
    Colour mixed = 0;
    for (const int shift : {0, 8, 16}) {
        const Colour a = (colour >> shift) & 0xFFU;
        const Colour b = (towards >> shift) & 0xFFU;
        mixed |= ((a + b) / 2) << shift;
    }
    return mixed;
}

} // namespace

BackgroundLook backgroundLook(const Palette& palette, const FormDesc& form) {
    if (palette.highContrast) {
        return BackgroundLook{palette.system.window, false};
    }
    return BackgroundLook{form.backColour, true};
}

bool labelHighlighted(const ControlDesc& desc, const LabelState& state) {
    if (!desc.clickable || !state.enabled) {
        return false;
    }
    return state.fore != desc.foreColour || state.border;
}

LabelLook labelLook(const Palette& palette, const ControlDesc& desc, const LabelState& state) {
    const SystemColours& system = palette.system;
    const bool opaque = desc.backColour.has_value();
    LabelLook look;
    if (!palette.highContrast) {
        if (opaque) {
            look.fill = state.back;
        }
        look.text = state.enabled ? state.fore : system.grayText;
        if (state.border) {
            look.frame = state.fore;
        }
        return look;
    }
    if (labelHighlighted(desc, state)) {
        // The highlight pair the system guarantees to stand out, over the whole label, whatever
        // form of highlight the design used.
        look.fill = system.highlight;
        look.text = system.highlightText;
        if (state.border) {
            look.frame = system.highlightText;
        }
        return look;
    }
    if (opaque) {
        look.fill = system.window;
    }
    if (!state.enabled) {
        look.text = system.grayText;
    } else if (desc.clickable) {
        look.text = system.hotLight;
    } else {
        look.text = system.windowText;
    }
    if (desc.clickable && opaque) {
        // A label-button's box is what tells it from a plain text; on the window's own colour
        // only an outline can show it.
        look.frame = state.enabled ? system.hotLight : system.grayText;
    } else if (state.border) {
        look.frame = look.text;
    }
    return look;
}

ControlLook controlLook(const Palette& palette, const ControlDesc& desc, Colour formBack,
                        bool enabled) {
    if (palette.highContrast) {
        const SystemColours& system = palette.system;
        return ControlLook{enabled ? system.windowText : system.grayText, system.window};
    }
    const Colour back = desc.backColour.value_or(formBack);
    return ControlLook{enabled ? desc.foreColour : blend(desc.foreColour, back), back};
}

OpaqueLayering opaqueLayering(const Palette& palette) {
    if (palette.highContrast) {
        return {.colourKey = false, .key = 0, .alpha = 255};
    }
    return {};
}

} // namespace zorvo::ui
