#pragma once
// The batch-file dialog's logic: pick an action, minutes and a window mode, write the file.

#include <functional>
#include <optional>
#include <string>

#include "core/controls.h"
#include "core/minutes_rule.h"
#include "core/services.h"

namespace zorvo {

struct BatControls {
    Form& form;
    ComboBox& Combo1;
    ComboBox& Combo2;
    OptionButton& Option1;
    OptionButton& Option2;
    OptionButton& Option3;
    Label& lblOK;
    Label& lblCancel;
};

struct BatServices {
    MessageBoxService& messages;
    LocaleService& locale;
    ProcessService& process;
    FileService& files;
    /// The short (8.3) form of a path, when its volume has one.
    std::function<std::optional<std::wstring>(const std::wstring&)> shortPath;
};

class frmBat {
public:
    frmBat(const BatControls& controls, const BatServices& services);

    void Form_Load();
    void Combo1_Change();
    void lblOK_Click();
    void lblCancel_Click();
    void lblOK_MouseMove();
    void lblCancel_MouseMove();
    void Form_MouseMove();

    std::wstring ProgramFolder;

private:
    BatControls c_;
    BatServices s_;
    MinutesRule minutes_;
};

} // namespace zorvo
