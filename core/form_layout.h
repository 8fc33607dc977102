#pragma once
// A form's design as constant data: its window, controls, menus and timers. The Win32 front end
// builds real windows from these tables; tests check what the tables imply (unique IDs, shortcuts,
// geometry inside the client area) without any window. Geometry is in twips, colours are
// &H00BBGGRR values, exactly as the form designer writes them.

#include <optional>
#include <span>
#include <string_view>

#include "core/controls.h"
#include "core/routes.h"

namespace zorvo {

enum class ControlKind {
    Label,
    ComboBox,     ///< editable drop-down combo box
    DropDownList, ///< drop-down list: pick only, no typing
    TextBox,      ///< multi-line, read-only text box
    Frame,        ///< a captioned group box
    OptionButton, ///< an auto radio button
};

enum class Alignment { Left, Centre };

struct ControlDesc {
    int id = 0;
    std::wstring_view name{};
    ControlKind kind = ControlKind::Label;
    std::wstring_view caption{};
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    Colour foreColour = 0;
    /// None: the control is transparent and shows the form's background through.
    std::optional<Colour> backColour{};
    std::wstring_view fontFace{};
    double pointSize = 8.25;
    Alignment alignment = Alignment::Left;
    /// Null: no tooltip.
    const wchar_t* tooltip = nullptr;
    /// A label used as a button: a click on it runs a handler.
    bool clickable = false;
    bool visible = true;
    /// -1 when the control takes no part in the tab order.
    int tabIndex = -1;
    /// 0 for the form itself; a frame's ID for option buttons inside it (their geometry is then
    /// relative to the frame).
    int parentId = 0;
    /// A clickable label that opens a web page: a link to a screen reader, not a button.
    bool link = false;
    /// The label whose caption names this control to a screen reader (0: none).
    int labelledBy = 0;
};

/// A keyboard shortcut: a virtual-key code with modifiers, and its text as the menu shows it.
struct Shortcut {
    int virtualKey = 0;
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    std::wstring_view text{};

    bool empty() const { return virtualKey == 0; }
};

/// A top-level menu (empty `parent`), one of its items, or a separator line.
struct MenuDesc {
    /// The command ID; 0 for top-level menus and separators.
    int id = 0;
    std::wstring_view name{};
    /// "&" marks the access key.
    std::wstring_view caption{};
    Shortcut shortcut{};
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    /// Name of the top-level menu that holds the item; empty for a top-level menu.
    std::wstring_view parent{};
};

/// How a timer's ticks are paced against the clock.
enum class TimerPacing {
    /// As fast as the system allows, only while enabled (the designed interval is 1 ms).
    Minimum,
    /// Tick k falls due k intervals after enabling, on a clock that stops while the computer
    /// sleeps; late ticks are caught up.
    Paced,
    /// Once a second, just after the turn of the wall-clock second.
    SecondAligned,
    /// Once when enabled, then once, as soon as the system allows, after each time the form says
    /// its input changed: a display that follows typing without waking the program 100 times a
    /// second.
    OnInput,
    /// As Minimum, but only while the form is hidden: a poll that has something to do only then
    /// (the show hot key) does not wake a shown window 100 times a second.
    MinimumWhileHidden,
};

struct TimerDesc {
    /// The timer's identifier on its form (nonzero).
    int id = 0;
    std::wstring_view name{};
    /// The designed interval in milliseconds.
    int interval = 0;
    bool enabled = false;
    TimerPacing pacing = TimerPacing::Minimum;
};

enum class BorderStyle {
    FixedSingle,     ///< caption, system menu and minimise box; not resizable
    FixedToolWindow, ///< narrow caption with a close box only
    None,            ///< no caption, no frame
};

struct FormDesc {
    std::wstring_view className{};
    std::wstring_view caption{};
    /// Client area in twips.
    int clientWidth = 0;
    int clientHeight = 0;
    Colour backColour = 0;
    /// Size of the background picture in twips, drawn at the top left; 0 when there is none.
    int pictureWidth = 0;
    int pictureHeight = 0;
    BorderStyle border = BorderStyle::FixedSingle;
    bool showInTaskbar = true;
    std::span<const ControlDesc> controls{};
    std::span<const MenuDesc> menus{};
    std::span<const TimerDesc> timers{};
    /// The clickable labels that Enter and Esc press, wherever the focus is (0: the key is left
    /// to the focused control).
    int defaultControl = 0;
    int cancelControl = 0;
};

} // namespace zorvo
