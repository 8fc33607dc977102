#pragma once
// The batch-file dialog's logic: pick an action, minutes and a window mode, write the file.

#include <functional>
#include <optional>
#include <string>

#include "core/minutes_rule.h"
#include "core/controls.h"
#include "core/services.h"

namespace zorvo {

struct BatControls {
    ui::Form& form;
    ui::ComboBox& Combo1;
    ui::ComboBox& Combo2;
    ui::OptionButton& Option1;
    ui::OptionButton& Option2;
    ui::OptionButton& Option3;
    ui::Label& lblOK;
    ui::Label& lblCancel;
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
