#pragma once
// What every child control of a FormWindow shares: its table entry, its window, its place at the
// form's DPI, its font and its colours.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/accessible_facts.h"
#include "core/controls.h"
#include "core/form_layout.h"
#include "core/unique_handle_win32.h"
#include "ui/palette.h"

namespace zorvo::ui {

class FormWindow;
struct AccessibleLink;

/// A solid brush of one colour, made again only when the colour changes.
class BrushCache {
public:
    HBRUSH get(Colour colour);

private:
    Colour colour_ = 0;
    unique_hbrush brush_;
};

class ChildControl {
public:
    ChildControl(const ControlDesc& desc, FormWindow& form) : desc_(desc), form_(form) {}
    ChildControl(const ChildControl&) = delete;
    ChildControl& operator=(const ChildControl&) = delete;
    virtual ~ChildControl();

    int id() const { return desc_.id; }
    const ControlDesc& desc() const { return desc_; }
    HWND hwnd() const { return hwnd_; }

    /// Creates the child window at its designed place, visible or hidden as designed.
    void create(HINSTANCE instance);
    virtual void applyFont(HFONT font);
    /// Moves the window to its designed place at the form's current DPI.
    void place();
    /// Whether `window` is this control's window or one of its parts.
    virtual bool owns(HWND window) const { return window && window == hwnd_; }
    /// Answers WM_CTLCOLOR* for one of the control's windows; null to leave it to the system.
    virtual HBRUSH colours(UINT message, HDC dc, HWND from);
    /// The windows that show the control's tooltip.
    virtual std::vector<HWND> tooltipWindows() const { return {hwnd_}; }
    /// The form is gone, and the control's windows with it.
    virtual void detach();

    /// What it shows now: visible, enabled, its text.
    ControlState state() const;
    /// How a screen reader is to see it; nothing when the system's description stands.
    std::optional<AccessibleFacts> accessibleFacts() const;
    /// Clicks it once the messages already queued for its window have been handled (a screen
    /// reader's default action); controls that are no buttons ignore it.
    virtual void pressLater() {}
    /// Clicks it now (a dialog key); controls that are no buttons ignore it.
    virtual void pressNow() {}

protected:
    virtual HWND createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) = 0;
    virtual void afterCreate() {}
    /// The height given to the window for a designed height in pixels.
    virtual int windowHeight(int designedHeight) const { return designedHeight; }
    DWORD baseStyle() const;
    RECT bounds() const;

    bool windowVisible() const;
    void setWindowVisible(bool on);
    bool windowEnabled() const;
    void setWindowEnabled(bool on);
    std::wstring windowText() const;
    /// The answer to WM_GETOBJECT for `window`, one of the control's windows.
    LRESULT answerGetObject(HWND window, WPARAM wParam, LPARAM lParam);
    /// The colours the system draws the control in, by the form's palette.
    ControlLook look() const;

    const ControlDesc& desc_;
    FormWindow& form_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;

private:
    /// Shared with the objects handed to screen readers; made at the first question.
    std::shared_ptr<AccessibleLink> accessible_;
};

/// The text of any window, read with WM_GETTEXT.
std::wstring textOf(HWND window);

} // namespace zorvo::ui
