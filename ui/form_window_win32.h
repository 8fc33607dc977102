#pragma once
// A top-level window built from a form table: the window itself (sized in twips at its own DPI),
// its background, its child controls, fonts, tooltips, menu bar, accelerators and timers. It
// implements Form and hands every event to a FormEvents owner.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/accessible_facts.h"
#include "core/controls.h"
#include "core/form_layout.h"
#include "core/placement.h"
#include "core/unique_handle_win32.h"
#include "ui/focus_keeper_win32.h"
#include "ui/form_background_win32.h"
#include "ui/form_fonts_win32.h"
#include "ui/palette.h"

namespace zorvo::ui {

class ChildControl;
class LabelWin32;
class ComboBoxWin32;
class TextBoxWin32;
class OptionButtonWin32;
class MenuBarWin32;
class MenuItemWin32;
class TimerWin32;

/// The form's owner: what happens on the form's events. Every call comes from inside a guarded
/// window procedure.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    /// An event of a control, menu command or timer, by its ID in the table (see Event); a
    /// key that goes down in a combo box arrives before the box handles it.
    virtual void formEvent(int /*source*/, Event /*event*/, KeyArgs /*keys*/) {}
    /// The form became the active window (after the focus went back to its control) or stopped
    /// being it.
    virtual void activated(bool /*active*/) {}
    /// The form's palette changed (high contrast switched, or the system's colours); the form
    /// repaints in it on its own.
    virtual void paletteChanged() {}
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
    /// The window class's icons (not owned; they must outlive the window).
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
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
    /// Asks the form to end every combo box's run of added items once its queue comes round.
    void endListBatchesSoon();
    /// False once the window has been destroyed.
    bool alive() const { return hwnd_ != nullptr; }
    UINT dpi() const { return dpi_; }
    const FormDesc& desc() const { return desc_; }
    FormEvents& events() { return *events_; }
    /// Who had the keyboard focus, for the controls that need to know.
    FocusKeeper& focus() { return focus_; }
    HACCEL accelerators() const;

    LabelWin32& label(int id);
    ComboBoxWin32& comboBox(int id);
    TextBoxWin32& textBox(int id);
    OptionButtonWin32& optionButton(int id);
    MenuItemWin32& menuItem(int id);
    TimerWin32& timer(int id);

    /// Enables the timers that the design enables; call once the owner is ready for their ticks.
    void startDesignTimers();
    /// Destroys the window at once, without WM_CLOSE.
    void destroy();

    /// Paints the form's background (colour and picture) and the labels on it over `area`, in
    /// client coordinates of the form; labels use it to be transparent.
    void paintBackground(HDC dc, const RECT& area) const;
    const std::vector<LabelWin32*>& labels() const { return labels_; }
    /// What the control with the ID shows now (nothing visible for an unknown ID).
    ControlState controlState(int id) const;
    /// Enter or Esc going down anywhere in the form: presses its default or cancelling button
    /// as the form's table says. True when the key was the form's, not the focused control's.
    bool takeDialogKey(const MSG& message) noexcept;
    /// The colours the form is drawn in now.
    const Palette& palette() const { return palette_; }
    int toPixels(int twips) const;

    // Form
    std::wstring caption() const override;
    void setCaption(const std::wstring& text) override;
    bool visible() const override;
    void setVisible(bool on) override;
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
    void comboNotification(const ComboBoxWin32& combo, int id, UINT code);
    LRESULT controlColour(UINT message, HDC dc, HWND from);
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void onDestroyed();
    void onActivate(WPARAM wParam);
    void onWindowPosChanged(const WINDOWPOS& position);
    /// The system's colours or its high-contrast switch may have changed: the form reads them
    /// again and, when its palette changed, draws itself and every control again.
    void followSystemColours(UINT message);
    void endListBatches();
    /// The user changed an input: the timers that follow input tick again.
    void nudgeInputTimers();

    void registerClass() const;
    DWORD style() const;
    DWORD exStyle() const;
    /// Where the window starts and its size, in screen pixels at the current DPI.
    RECT startRect() const;
    void placeWindow();
    /// Resizes the window, now `windowSize` large, so that its client area has the designed size.
    void correctClientSize(SIZE windowSize);
    void createControls();
    void createTooltips();
    ChildControl* controlByWindow(HWND child) const;
    ChildControl* controlById(int id) const;

    const FormDesc& desc_;
    FormEvents* events_;
    FormOptions options_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    HWND tooltip_ = nullptr;
    bool painted_ = false;
    FocusKeeper focus_;
    /// The state asked for while the window was hidden; applied when it is shown again.
    bool pendingState_ = false;
    WindowState pendingStateValue_ = WindowState::Normal;

    FormFonts fonts_;
    FormBackground background_;
    Palette palette_;

    std::vector<std::unique_ptr<ChildControl>> controls_;
    /// The labels among the controls, in table order: the order they are drawn in.
    std::vector<LabelWin32*> labels_;
    std::unique_ptr<MenuBarWin32> menuBar_;
    std::vector<std::unique_ptr<TimerWin32>> timers_;
};

/// A hidden top-level window that owns forms kept out of the taskbar.
HWND hiddenOwnerWindow();

} // namespace zorvo::ui
