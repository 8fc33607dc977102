#pragma once
// A label drawn over its form's background: transparent unless it has a back colour, word-wrapped,
// double-buffered so changing text never flickers. Labels behave as if they had no window of their
// own: where two overlap, both texts show (the form paints every label into the background that a
// label copies). It takes no keyboard focus; mouse moves, presses and clicks go to the form's
// owner, and so does a click that comes from a dialog key or a screen reader.

#include <windows.h>

#include "ui/child_control_win32.h"

namespace zorvo::ui {

/// Deselects every form's font from the DC that measures captions, before fonts are deleted.
void releaseMeasuringFont();

class LabelWin32 final : public Label, public ChildControl {
public:
    static constexpr wchar_t kClassName[] = L"ZorvoLabel";

    LabelWin32(const ControlDesc& desc, FormWindow& form);

    bool visible() const override { return windowVisible(); }
    void setVisible(bool on) override;
    bool enabled() const override { return windowEnabled(); }
    void setEnabled(bool on) override;
    std::wstring caption() const override { return windowText(); }
    void setCaption(const std::wstring& text) override;
    Colour foreColour() const override { return fore_; }
    void setForeColour(Colour c) override;
    Colour backColour() const override { return back_; }
    void setBackColour(Colour c) override;
    bool border() const override { return border_; }
    void setBorder(bool on) override;

    void applyFont(HFONT font) override;
    void pressLater() override;
    void pressNow() override;

    /// Lets go of the back buffer and with it any font it holds selected.
    void dropBackBuffer();

    /// Draws the label's back, text and border into `dc`, which is in the form's coordinates.
    void drawContent(HDC dc) const;
    /// The label's rectangle in the form's client coordinates; empty while it is hidden.
    RECT rectInForm() const;

private:
    HWND createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) override;
    static void registerClass(HINSTANCE instance);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    /// A click from a dialog key or a screen reader; `live`: the label takes input now.
    void pressed(bool live);
    /// The answer to WM_GETOBJECT.
    LRESULT objectFor(HWND window, WPARAM wParam, LPARAM lParam);
    void paint(HDC target);
    /// Picks the font the caption is drawn in: the designed one, or where rounding at this DPI
    /// (or a stand-in face) makes the caption too wide for its rectangle, one a pixel or two
    /// smaller, so no caption is ever cut or broken onto a line that does not show.
    void refit();
    HFONT drawingFont() const { return fitted_ ? fitted_.get() : font_; }

    void redraw();
    void redrawArea(const RECT& area);

    Colour fore_;
    Colour back_;
    /// Transparent labels keep their back colour but never paint it.
    bool opaque_;
    bool border_ = false;
    bool pressed_ = false;
    unique_hfont fitted_;
    /// Kept from one paint to the next, with this label's font left selected: a label that
    /// changes every second then repaints with no set-up at all. The DC goes before the bitmap.
    unique_hbitmap backBitmap_;
    unique_hdc backDc_;
    SIZE backSize_{0, 0};
};

} // namespace zorvo::ui
