// The form window's children: made from the table, given their tooltips, and found by ID.

#include <windows.h>

#include <commctrl.h>

#include <stdexcept>

#include "ui/combo_box_win32.h"
#include "ui/form_window_win32.h"
#include "ui/label_win32.h"
#include "ui/menu_win32.h"
#include "ui/message_loop_win32.h"
#include "ui/simple_controls_win32.h"
#include "ui/timer_win32.h"

namespace zorvo::ui {

namespace {

std::unique_ptr<ChildControl> makeControl(const ControlDesc& desc, FormWindow& form) {
    switch (desc.kind) {
    case ControlKind::Label:
        return std::make_unique<LabelWin32>(desc, form);
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
        return std::make_unique<ComboBoxWin32>(desc, form);
    case ControlKind::TextBox:
        return std::make_unique<TextBoxWin32>(desc, form);
    case ControlKind::Frame:
        return std::make_unique<FrameWin32>(desc, form);
    case ControlKind::OptionButton:
        return std::make_unique<OptionButtonWin32>(desc, form);
    }
    throw std::logic_error("unknown control kind");
}

template <typename T> T& controlAs(ChildControl* control) {
    auto* typed = dynamic_cast<T*>(control);
    if (!typed) {
        throw std::logic_error("the form has no control of that ID and kind");
    }
    return *typed;
}

} // namespace

void FormWindow::createControls() {
    for (const ControlDesc& control : desc_.controls) {
        controls_.push_back(makeControl(control, *this));
        controls_.back()->create(options_.instance);
        if (auto* label = dynamic_cast<LabelWin32*>(controls_.back().get())) {
            labels_.push_back(label);
        }
    }
    // A frame lies under the controls it surrounds; those made after it would otherwise clip
    // themselves away beneath it.
    for (const auto& control : controls_) {
        if (control->desc().kind == ControlKind::Frame) {
            SetWindowPos(control->hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

void FormWindow::createTooltips() {
    if (tooltip_ || !hwnd_) {
        return;
    }
    bool any = false;
    for (const ControlDesc& control : desc_.controls) {
        any = any || control.tooltip != nullptr;
    }
    if (!any) {
        return;
    }
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, options_.instance, nullptr);
    if (!tooltip_) {
        return; // the program works without tooltips
    }
    registerTooltip(hwnd_, tooltip_);
    for (const auto& control : controls_) {
        if (!control->desc().tooltip) {
            continue;
        }
        for (HWND window : control->tooltipWindows()) {
            TOOLINFOW tool{};
            // The size every version of the common controls accepts.
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.uFlags = TTF_IDISHWND;
            tool.hwnd = hwnd_;
            tool.uId = reinterpret_cast<UINT_PTR>(window);
            tool.lpszText = const_cast<wchar_t*>(control->desc().tooltip);
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

ChildControl* FormWindow::controlByWindow(HWND child) const {
    for (const auto& control : controls_) {
        if (control->owns(child)) {
            return control.get();
        }
    }
    return nullptr;
}

ChildControl* FormWindow::controlById(int id) const {
    for (const auto& control : controls_) {
        if (control->id() == id) {
            return control.get();
        }
    }
    return nullptr;
}

LabelWin32& FormWindow::label(int id) {
    return controlAs<LabelWin32>(controlById(id));
}
ComboBoxWin32& FormWindow::comboBox(int id) {
    return controlAs<ComboBoxWin32>(controlById(id));
}
TextBoxWin32& FormWindow::textBox(int id) {
    return controlAs<TextBoxWin32>(controlById(id));
}
OptionButtonWin32& FormWindow::optionButton(int id) {
    return controlAs<OptionButtonWin32>(controlById(id));
}

MenuItemWin32& FormWindow::menuItem(int id) {
    MenuItemWin32* item = menuBar_ ? menuBar_->item(id) : nullptr;
    if (!item) {
        throw std::logic_error("the form has no menu item of that ID");
    }
    return *item;
}

TimerWin32& FormWindow::timer(int id) {
    for (const auto& timer : timers_) {
        if (timer->id() == id) {
            return *timer;
        }
    }
    throw std::logic_error("the form has no timer of that ID");
}

} // namespace zorvo::ui
