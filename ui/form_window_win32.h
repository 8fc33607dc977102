#pragma once
// A top-level window built from a form table: the window itself (sized in twips at its own DPI),
// its background, its child controls, fonts, tooltips, menu bar, accelerators and timers. It
// implements ui::Form and hands every event to a FormEvents owner.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/form_layout.h"
#include "ui/placement.h"
#include "ui/unique_handle_win32.h"

namespace zorvo::ui {

class ChildControl;
class LabelWin32;
class ComboBoxWin32;
class TextBoxWin32;
class OptionButtonWin32;
class MenuBarWin32;
class MenuItemWin32;
class TimerWin32;

/// The form's owner: what happens on the form's events. IDs are the table's control and command
/// IDs. Every call comes from inside a guarded window procedure.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void controlMouseMove(int /*id*/) {}
    virtual void controlMouseDown(int /*id*/) {}
    virtual void controlClick(int /*id*/) {}
    /// The user changed the text of an editable combo box.
    virtual void comboChange(int /*id*/) {}
    /// The user picked a list item.
    virtual void comboSelect(int /*id*/) {}
    /// A key went down in a combo box's edit field, before the box handles it. `shift`: 1 Shift,
    /// 2 Ctrl, 4 Alt.
    virtual void comboKeyDown(int /*id*/, int /*keyCode*/, int /*shift*/) {}
    virtual void comboFocus(int /*id*/, bool /*gained*/) {}
    /// A menu command whose item is enabled.
    virtual void menuCommand(int /*id*/) {}
    /// The form became the active window (after the focus went back to its control) or stopped
    /// being it.
    virtual void activated(bool /*active*/) {}
    /// Sees each message of the form window before the default handling; returns true when it
    /// has handled it and put the answer in `result`.
    virtual bool formMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                             LRESULT& /*result*/) {
        return false;
    }
};

struct FormOptions {
    HINSTANCE instance = nullptr;
    /// Bitmap resource drawn as the background picture (0: none).
    int backgroundBitmap = 0;
    /// Owner window (dialogs); a form outside the taskbar without one gets a hidden owner.
    HWND owner = nullptr;
    StartPosition startPosition = StartPosition::CentreScreen;
};

class FormWindow final : public Form {
public:
    /// Creates the window hidden, with all its controls; timers start disabled (see
    /// startDesignTimers). Throws std::runtime_error when the window cannot be created.
    FormWindow(const FormDesc& desc, FormEvents& events, const FormOptions& options);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow() override;

    HWND hwnd() const { return hwnd_; }
    /// False once the window has been destroyed.
    bool alive() const { return hwnd_ != nullptr; }
    UINT dpi() const { return dpi_; }
    const FormDesc& desc() const { return desc_; }
    FormEvents& events() { return *events_; }
    HACCEL accelerators() const;

    LabelWin32& label(int id);
    ComboBoxWin32& comboBox(int id);
    TextBoxWin32& textBox(int id);
    OptionButtonWin32& optionButton(int id);
    MenuItemWin32& menuItem(int id);
    TimerWin32& timer(int id);

    /// Enables the timers that the design enables; call once the handlers are in place.
    void startDesignTimers();
    /// Destroys the window at once, without WM_CLOSE.
    void destroy();

    /// Paints the form's background (colour and picture) and the labels on it over `area`, in
    /// client coordinates of the form; labels use it to be transparent.
    void paintBackground(HDC dc, const RECT& area) const;
    const std::vector<LabelWin32*>& labels() const { return labels_; }
    int toPixels(int twips) const;

    // ui::Form
    std::wstring caption() const override;
    void setCaption(const std::wstring& text) override;
    bool visible() const override;
    void setVisible(bool on) override;
    WindowState windowState() const override;
    void setWindowState(WindowState state) override;
    void show() override;
    void setShowInTaskbar(bool on) override;
    void setTopMost(bool on) override;
    void beginDrag() override;
    void close() override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool handleCommand(WPARAM wParam, LPARAM lParam);
    void comboNotification(ComboBoxWin32& combo, int id, UINT code);
    LRESULT controlColour(UINT message, HDC dc, HWND from);
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void onDestroyed();
    void onActivate(WPARAM wParam);
    void restoreFocus();

    void registerClass() const;
    DWORD style() const;
    DWORD exStyle() const;
    void placeWindow();
    void createControls();
    void createTooltips();
    void applyDpi();
    HFONT fontFor(const ControlDesc& control);
    void rebuildFonts();
    void rebuildBackground();
    void paintPicture(HDC dc, const RECT& area) const;
    ChildControl* controlByWindow(HWND child) const;
    ChildControl* controlById(int id) const;

    const FormDesc& desc_;
    FormEvents* events_;
    FormOptions options_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    HWND tooltip_ = nullptr;
    /// The child that had the focus when the form was last deactivated.
    HWND lastFocus_ = nullptr;
    /// The state asked for while the window was hidden; applied when it is shown again.
    bool pendingState_ = false;
    WindowState pendingStateValue_ = WindowState::Normal;

    struct Font {
        std::wstring face;
        double pointSize;
        unique_hfont handle;
    };
    std::vector<Font> fonts_;
    unique_hbitmap picture_;       // the picture as loaded, at 96 dpi
    unique_hbitmap scaledPicture_; // the picture at the window's DPI
    /// A memory DC that holds scaledPicture_ selected, so painting a piece of the background is
    /// one BitBlt and no set-up. Declared after the bitmap: it goes first, releasing it.
    unique_hdc pictureDc_;
    SIZE scaledPictureSize_{};
    unique_hbrush backBrush_;

    std::vector<std::unique_ptr<ChildControl>> controls_;
    /// The labels among the controls, in table order: the order they are drawn in.
    std::vector<LabelWin32*> labels_;
    std::unique_ptr<MenuBarWin32> menuBar_;
    std::vector<std::unique_ptr<TimerWin32>> timers_;
};

/// A hidden top-level window that owns forms kept out of the taskbar.
HWND hiddenOwnerWindow();

} // namespace zorvo::ui
