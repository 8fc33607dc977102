#pragma once
// The standard combo box: an editable drop-down (with its "Edit" child) or a drop-down list, in the
// table's colours. Typing, keys and focus changes go to the form's owner; text written by the
// program never counts as a change.

#include <windows.h>

#include "ui/child_control_win32.h"

namespace zorvo::ui {

class ComboBoxWin32 final : public ComboBox, public ChildControl {
public:
    ComboBoxWin32(const ControlDesc& desc, FormWindow& form) : ChildControl(desc, form) {}

    bool visible() const override { return windowVisible(); }
    void setVisible(bool on) override { setWindowVisible(on); }
    bool enabled() const override { return windowEnabled(); }
    void setEnabled(bool on) override;
    std::wstring text() const override { return windowText(); }
    void setText(const std::wstring& text) override;
    int selStart() const override;
    void setSelLength(int length) override;
    void addItem(const std::wstring& item) override;
    /// Lets the list redraw again after a run of addItem; the form calls it from its queue.
    void endListBatch();
    int itemCount() const override;
    std::wstring item(int index) const override;
    void setListIndex(int index) override;

    /// True while the program itself writes the text: the box's change notice is not the user's.
    bool writingText() const { return writing_; }

    bool owns(HWND window) const override;
    HBRUSH colours(UINT message, HDC dc, HWND from) override;
    std::vector<HWND> tooltipWindows() const override;
    void detach() override;

private:
    HWND createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) override;
    void afterCreate() override;
    int windowHeight(int designedHeight) const override;
    /// The edit field's window procedure, put in front of its own by replacing it: the common
    /// controls' subclassing looks its data up in a window property on every message, which
    /// under Wine is a trip to the server at each blink of the caret.
    static LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
    LRESULT callEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    /// The box's own window procedure, put in front in the same way, only to name the box to a
    /// screen reader.
    static LRESULT CALLBACK boxProc(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept;
    LRESULT handleEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool editable() const { return desc_.kind == ControlKind::ComboBox; }
    void selection(DWORD& start, DWORD& end) const;

    HWND edit_ = nullptr;
    WNDPROC editOriginal_ = nullptr;
    WNDPROC boxOriginal_ = nullptr;
    HWND list_ = nullptr;
    /// Items are being added to the list with its redrawing off (see addItem).
    bool listBatch_ = false;
    bool writing_ = false;
    BrushCache back_;
};

} // namespace zorvo::ui
