#pragma once
// The about box's logic.

#include <string>

#include "core/controls.h"

namespace zorvo {

inline constexpr Colour kLinkColour = 0x00FFC0C0;
inline constexpr Colour kLinkHoverColour = 0x00FF0000;

/// The six lines of the about box, joined by CR LF.
std::wstring aboutText();

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    /// Asks the shell to open `address` ("open", minimised); the outcome is not reported.
    virtual void open(const std::wstring& address) = 0;
};

struct AboutControls {
    Form& form;
    TextBox& Text1;
    Label& lblHomePage;
    Label& lblOK;
};

class frmAbout {
public:
    frmAbout(const AboutControls& controls, LinkOpener& links) : c_(controls), links_(links) {}

    void Form_Load();
    void lblOK_Click();
    void lblHomePage_Click();
    void Form_MouseMove();
    void lblOK_MouseMove();
    void lblHomePage_MouseMove();

private:
    AboutControls c_;
    LinkOpener& links_;
};

} // namespace zorvo
