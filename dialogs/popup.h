#pragma once
// The countdown popup (frmDial) as the countdown drives it: one shared instance, created hidden
// at the first setting of its label.

#include <string>

namespace zorvo {

class Popup {
public:
    virtual ~Popup() = default;
    /// Sets Label1's caption, creating the popup (hidden) first when it does not exist yet.
    virtual void setLabelCaption(const std::wstring& text) = 0;
    /// False also while the popup does not exist.
    virtual bool visible() const = 0;
    /// Hides the popup; it stays created and keeps its text.
    virtual void hide() = 0;
    /// Shows it, modeless and without activating anything, creating it first when needed.
    virtual void show() = 0;
};

} // namespace zorvo
