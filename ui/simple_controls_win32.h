#pragma once
// The standard controls of the dialogs: a multi-line text box, option buttons and the frame that
// groups them, in the table's colours.

#include <windows.h>

#include "ui/child_control_win32.h"

namespace zorvo::ui {

class TextBoxWin32 final : public TextBox, public ChildControl {
public:
    TextBoxWin32(const ControlDesc& desc, FormWindow& form) : ChildControl(desc, form) {}

    bool visible() const override { return windowVisible(); }
    void setVisible(bool on) override { setWindowVisible(on); }
    bool enabled() const override { return windowEnabled(); }
    void setEnabled(bool on) override { setWindowEnabled(on); }
    std::wstring text() const override { return windowText(); }
    void setText(const std::wstring& text) override;

    HBRUSH colours(UINT message, HDC dc, HWND from) override;

private:
    HWND createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) override;
    BrushCache back_;
};

class OptionButtonWin32 final : public OptionButton, public ChildControl {
public:
    OptionButtonWin32(const ControlDesc& desc, FormWindow& form) : ChildControl(desc, form) {}

    bool visible() const override { return windowVisible(); }
    void setVisible(bool on) override { setWindowVisible(on); }
    bool enabled() const override { return windowEnabled(); }
    void setEnabled(bool on) override { setWindowEnabled(on); }
    bool value() const override;
    void setValue(bool on) override;

    HBRUSH colours(UINT message, HDC dc, HWND from) override;

private:
    HWND createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) override;
    BrushCache back_;
};

/// A captioned group box; it only draws. It lies below its option buttons and fills its inside
/// itself, since the form does not paint under its children.
class FrameWin32 final : public ChildControl {
public:
    FrameWin32(const ControlDesc& desc, FormWindow& form) : ChildControl(desc, form) {}
    HBRUSH colours(UINT message, HDC dc, HWND from) override;

private:
    HWND createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) override;
    void afterCreate() override;
    static LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclassId, DWORD_PTR data) noexcept;
    BrushCache back_;
};

/// Turns visual styles off for one control, so that it draws its text in the colours it is given
/// (a themed radio button or group box ignores them).
void useClassicLook(HWND window) noexcept;

} // namespace zorvo::ui
