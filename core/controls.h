#pragma once
// The controls that the forms' handlers read and write. Each form's logic class talks to its
// controls only through these interfaces: the Win32 front end implements them on real windows,
// and the unit tests on plain fakes. State lives in the controls, so the getters must report what
// the control really holds (a disabled Win32 window reports disabled, and so on).

#include <cstdint>
#include <string>

namespace zorvo {

/// A colour written as &H00BBGGRR: red in the low byte, blue in the third.
using Colour = std::uint32_t;

/// An opaque picture handle (an HICON on Windows); 0 means none.
using IconHandle = std::uintptr_t;

class Control {
public:
    virtual ~Control() = default;
    virtual bool visible() const = 0;
    virtual void setVisible(bool on) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool on) = 0;
};

/// A label: plain text, a drag handle, a link or a label used as a button.
class Label : public Control {
public:
    virtual std::wstring caption() const = 0;
    virtual void setCaption(const std::wstring& text) = 0;
    virtual Colour foreColour() const = 0;
    virtual void setForeColour(Colour c) = 0;
    virtual Colour backColour() const = 0;
    virtual void setBackColour(Colour c) = 0;
    /// A single-line border around the label (the dialogs' hover highlight).
    virtual bool border() const = 0;
    virtual void setBorder(bool on) = 0;
};

/// A multi-line text box (the about box).
class TextBox : public Control {
public:
    virtual std::wstring text() const = 0;
    virtual void setText(const std::wstring& text) = 0;
};

/// An editable drop-down combo box or a drop-down list.
///
/// setText() only stores the text; it never runs a change handler. Code that writes the text of
/// a box whose changes are checked goes through the form's own helper, which runs the rule.
class ComboBox : public Control {
public:
    virtual std::wstring text() const = 0;
    virtual void setText(const std::wstring& text) = 0;
    /// Caret and selection of the edit field, in UTF-16 units.
    virtual int selStart() const = 0;
    virtual void setSelLength(int length) = 0;
    virtual void addItem(const std::wstring& item) = 0;
    virtual int itemCount() const = 0;
    virtual std::wstring item(int index) const = 0;
    virtual void setListIndex(int index) = 0;
};

/// An option (radio) button.
class OptionButton : public Control {
public:
    virtual bool value() const = 0;
    virtual void setValue(bool on) = 0;
};

/// A menu item with an optional check mark.
class MenuItem {
public:
    virtual ~MenuItem() = default;
    virtual bool checked() const = 0;
    virtual void setChecked(bool on) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool on) = 0;
};

/// An interval timer whose ticks call one handler of its form. While disabled it never ticks.
class Timer {
public:
    virtual ~Timer() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool on) = 0;
    /// The interval asked for, in milliseconds. The system may tick less often.
    virtual int interval() const = 0;
};

enum class WindowState { Normal, Minimized };

/// A top-level window.
class Form {
public:
    virtual ~Form() = default;
    virtual std::wstring caption() const = 0;
    virtual void setCaption(const std::wstring& text) = 0;
    /// Hidden or shown; a minimised window is visible.
    virtual bool visible() const = 0;
    virtual void setVisible(bool on) = 0;
    virtual void setWindowState(WindowState state) = 0;
    /// Makes the window visible and brings it forward.
    virtual void show() = 0;
    /// Whether the window has a taskbar button.
    virtual void setShowInTaskbar(bool on) = 0;
    /// Puts the window into the topmost band or takes it out, without moving or activating it.
    virtual void setTopMost(bool on) = 0;
    /// Lets the system move the window as though its title bar had been pressed.
    virtual void beginDrag() = 0;
    /// Closes (unloads) the window.
    virtual void close() = 0;
};

} // namespace zorvo
