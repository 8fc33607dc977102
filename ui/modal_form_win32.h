#pragma once
// Running a dialog form modally over the main window: the owner takes no input while the dialog is
// open, Enter and Esc press the dialog's buttons, its other keys go through the dialog manager,
// and the owner gets the activation back when it closes. ModalForm puts this together with the
// form's window, its logic and its routes.

#include <windows.h>

#include <memory>
#include <span>

#include "core/routes.h"
#include "ui/form_window_win32.h"

namespace zorvo::ui {

/// A dialog owned by `owner` (so it stays above it and out of the taskbar), centred on it while it
/// shows on the screen.
FormOptions dialogOptions(HINSTANCE instance, HWND owner);

/// Disables `owner`, shows `dialog` and handles messages until the dialog is gone. A WM_QUIT met
/// on the way is put back for the main loop. The owner's menu shortcuts never fire meanwhile.
void runModal(FormWindow& dialog, HWND owner) noexcept;

/// Closes a modal dialog: the owner is enabled and activated first, so the activation goes back to
/// it rather than to some other program, then the dialog's window is destroyed.
void endModal(FormWindow& dialog, HWND owner) noexcept;

/// A dialog form built afresh from its table at each opening, loaded, shown modally over `owner`
/// and destroyed when it closes (its close box, or the logic closing the form). Its events reach
/// `Logic` through the routes; a pointer move over the bare form is the form's MouseMove.
template <typename Logic> class ModalForm : private FormEvents {
public:
    ModalForm(const ModalForm&) = delete;
    ModalForm& operator=(const ModalForm&) = delete;
    ~ModalForm() override = default;

    /// Loads the dialog, shows it and returns once it has closed.
    void showModal() {
        logic_->Form_Load();
        runModal(window_, owner_);
    }

protected:
    ModalForm(const FormDesc& desc, std::span<const Route<Logic>> routes, HINSTANCE instance,
              HWND owner)
        : owner_(owner), routes_(routes), window_(desc, *this, dialogOptions(instance, owner)) {}

    FormWindow& window() { return window_; }
    const FormWindow& window() const { return window_; }
    void setLogic(std::unique_ptr<Logic> logic) { logic_ = std::move(logic); }

    /// Whether a pointer move at `at` (the message's client coordinates) counts as one over the
    /// bare form.
    virtual bool overBareForm(LPARAM /*at*/) const { return true; }

private:
    void formEvent(int source, Event event, KeyArgs keys) override {
        if (logic_) {
            dispatch(routes_, *logic_, source, event, keys);
        }
    }

    bool formMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        if (!logic_) {
            return false;
        }
        result = 0;
        switch (message) {
        case WM_MOUSEMOVE:
            if (overBareForm(lParam)) {
                dispatch(routes_, *logic_, kFormSource, Event::MouseMove);
            }
            return true;
        case WM_CLOSE:
            endModal(window_, owner_);
            return true;
        default:
            return false;
        }
    }

    HWND owner_;
    std::span<const Route<Logic>> routes_;
    /// Declared before the window: messages that arrive while the window is being built find no
    /// logic yet and are left to the defaults.
    std::unique_ptr<Logic> logic_;
    FormWindow window_;
};

} // namespace zorvo::ui
