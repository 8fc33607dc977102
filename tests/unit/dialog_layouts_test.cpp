#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "app/frm_main_layout.h"
#include "batch/batch_file.h"
#include "batch/frm_bat_layout.h"
#include "core/dpi_math.h"
#include "dialogs/frm_about_layout.h"
#include "dialogs/frm_dial_layout.h"
#include "layout_checks.h"

namespace zorvo {
namespace {

using layout_checks::Box;
using layout_checks::boxInForm;
using layout_checks::expectNoOverlaps;
using layout_checks::expectReadable;

void expectContractIds(const FormDesc& form, const std::map<std::wstring, int>& contract) {
    ASSERT_EQ(form.controls.size(), contract.size()) << std::wstring(form.className);
    std::set<int> ids;
    for (const auto& control : form.controls) {
        const auto found = contract.find(std::wstring(control.name));
        ASSERT_NE(found, contract.end()) << std::wstring(control.name);
        EXPECT_EQ(control.id, found->second) << std::wstring(control.name);
        EXPECT_TRUE(ids.insert(control.id).second) << "duplicate ID " << control.id;
    }
}

/// Controls with a place in the tab order, in the order Tab walks them (creation order).
std::vector<std::wstring> tabStops(const FormDesc& form) {
    std::vector<std::wstring> names;
    int previous = -1;
    for (const auto& control : form.controls) {
        if (control.kind == ControlKind::Label) {
            EXPECT_EQ(control.tabIndex, -1)
                << "labels take no focus: " << std::wstring(control.name);
            continue;
        }
        EXPECT_EQ(control.tabIndex, previous + 1)
            << "tab order differs from creation order, or has a gap, at "
            << std::wstring(control.name);
        previous = control.tabIndex;
        names.emplace_back(control.name);
    }
    return names;
}

void expectInsideClientArea(const FormDesc& form) {
    for (const auto& control : form.controls) {
        const Box box = boxInForm(form, control);
        EXPECT_GE(box.left, 0) << std::wstring(control.name);
        EXPECT_GE(box.top, 0) << std::wstring(control.name);
        EXPECT_GT(control.width, 0);
        EXPECT_GT(control.height, 0);
        EXPECT_LE(box.right, form.clientWidth) << std::wstring(control.name);
        EXPECT_LE(box.bottom, form.clientHeight) << std::wstring(control.name);
    }
}

void expectFixedToolWindow(const FormDesc& form, int widthPixels, int heightPixels) {
    EXPECT_EQ(form.border, BorderStyle::FixedToolWindow);
    EXPECT_FALSE(form.showInTaskbar);
    EXPECT_EQ(form.backColour, 0x00000000U);
    EXPECT_TRUE(form.menus.empty());
    EXPECT_TRUE(form.timers.empty());
    EXPECT_EQ(twipsToPixels(form.clientWidth, 96), widthPixels);
    EXPECT_EQ(twipsToPixels(form.clientHeight, 96), heightPixels);
}

TEST(DialogLayouts, BatchDialogMatchesTheContractAndItsDesign) {
    const FormDesc& form = frmBatLayout();
    EXPECT_EQ(form.className, L"frmBat");
    EXPECT_EQ(form.caption, L"Генерация bat-файла");
    expectFixedToolWindow(form, 229, 204);
    expectContractIds(form, {{L"Label1", 3001},
                             {L"Label2", 3002},
                             {L"Combo1", 3003},
                             {L"Combo2", 3004},
                             {L"Frame1", 3005},
                             {L"Option1", 3006},
                             {L"Option2", 3007},
                             {L"Option3", 3008},
                             {L"lblOK", 3009},
                             {L"lblCancel", 3010}});
    expectInsideClientArea(form);
    expectNoOverlaps(form);
    expectReadable(form);
    EXPECT_EQ(tabStops(form), (std::vector<std::wstring>{L"Combo1", L"Combo2", L"Frame1",
                                                         L"Option1", L"Option2", L"Option3"}));

    EXPECT_EQ(findControl(form, L"Combo1")->kind, ControlKind::ComboBox);
    EXPECT_EQ(findControl(form, L"Combo2")->kind, ControlKind::DropDownList);
    for (const wchar_t* name : {L"lblOK", L"lblCancel"}) {
        const auto* button = findControl(form, name);
        EXPECT_EQ(button->backColour, std::optional<Colour>(0x00400040)) << name;
        EXPECT_EQ(button->foreColour, 0x00FFFFFFU) << name;
        EXPECT_EQ(button->alignment, Alignment::Centre) << name;
    }
    for (const auto& control : form.controls) {
        EXPECT_EQ(control.fontFace, L"Comic Sans MS") << std::wstring(control.name);
        EXPECT_EQ(control.parentId != 0, control.kind == ControlKind::OptionButton);
    }
}

// The batch dialog is laid out on a grid: two columns of caption over box, the option group
// across both, the two buttons on one row, and every right edge of the right column in line.
TEST(DialogLayouts, BatchDialogLinesUp) {
    const FormDesc& form = frmBatLayout();
    const auto box = [&](const wchar_t* name) {
        const auto* control = findControl(form, name);
        if (control == nullptr) {
            ADD_FAILURE() << "no control " << name;
            return Box{};
        }
        return boxInForm(form, *control);
    };
    const auto sameRow = [&](const wchar_t* a, const wchar_t* b) {
        EXPECT_EQ(box(a).top, box(b).top) << std::wstring(a) << " " << b;
        EXPECT_EQ(box(a).bottom, box(b).bottom) << std::wstring(a) << " " << b;
    };
    sameRow(L"Label1", L"Label2");
    sameRow(L"Combo1", L"Combo2");
    sameRow(L"lblOK", L"lblCancel");
    for (const wchar_t* name : {L"Combo1", L"Frame1", L"lblOK"}) {
        EXPECT_EQ(box(name).left, box(L"Label1").left) << "left column: " << name;
    }
    EXPECT_EQ(box(L"Combo2").left, box(L"Label2").left) << "right column";
    for (const wchar_t* name : {L"Frame1", L"lblCancel"}) {
        EXPECT_EQ(box(name).right, box(L"Combo2").right) << "right edge: " << name;
    }
    const Box options[] = {box(L"Option1"), box(L"Option2"), box(L"Option3")};
    for (const Box& option : options) {
        EXPECT_EQ(option.left, options[0].left);
        EXPECT_EQ(option.bottom - option.top, options[0].bottom - options[0].top);
    }
    EXPECT_EQ(options[1].top - options[0].top, options[2].top - options[1].top) << "even spacing";
    // Captions look alike: the two over the boxes and the frame's; so do the three options.
    for (const wchar_t* name : {L"Label2", L"Frame1"}) {
        EXPECT_EQ(findControl(form, name)->pointSize, findControl(form, L"Label1")->pointSize)
            << name;
        EXPECT_EQ(findControl(form, name)->foreColour, findControl(form, L"Label1")->foreColour)
            << name;
    }
    for (const wchar_t* name : {L"Option2", L"Option3"}) {
        EXPECT_EQ(findControl(form, name)->pointSize, findControl(form, L"Option1")->pointSize)
            << name;
    }
    EXPECT_GT(options[1].top, options[0].bottom);
    for (const auto& control : form.controls) {
        if (control.kind != ControlKind::ComboBox && control.kind != ControlKind::DropDownList) {
            EXPECT_FALSE(control.caption.empty()) << std::wstring(control.name);
        }
    }
}

// A minutes box looks the same wherever it stands, and so does the action list beside it.
TEST(DialogLayouts, EntryBoxesLookAlikeInEveryForm) {
    const auto* reference = findControl(frmMainLayout(), L"Combo1");
    ASSERT_NE(reference, nullptr);
    for (const wchar_t* name : {L"Combo1", L"Combo2"}) {
        const auto* box = findControl(frmBatLayout(), name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->foreColour, reference->foreColour) << name;
        EXPECT_EQ(box->backColour, reference->backColour) << name;
        EXPECT_EQ(box->fontFace, reference->fontFace) << name;
        EXPECT_EQ(box->pointSize, reference->pointSize) << name;
        EXPECT_EQ(box->height, reference->height) << name;
    }
}

TEST(DialogLayouts, ActionListIsInTheOrderASortedListShows) {
    // The dialog fills Combo2 in the table's order, which must be the sorted order the user sees.
    std::vector<std::wstring> items;
    for (const Task& action : kTasks) {
        items.emplace_back(action.batchItem);
    }
    EXPECT_TRUE(std::is_sorted(items.begin(), items.end()));
    EXPECT_EQ(items.size(), 5U);
}

TEST(DialogLayouts, AboutBoxMatchesTheContractAndItsDesign) {
    const FormDesc& form = frmAboutLayout();
    EXPECT_EQ(form.className, L"frmAbout");
    EXPECT_EQ(form.caption, L"О программе...");
    expectFixedToolWindow(form, 234, 153);
    expectContractIds(form, {{L"Text1", 4001}, {L"lblHomePage", 4002}, {L"lblOK", 4003}});
    expectInsideClientArea(form);
    expectNoOverlaps(form);
    expectReadable(form);
    EXPECT_EQ(tabStops(form), std::vector<std::wstring>{L"Text1"});

    const auto* link = findControl(form, L"lblHomePage");
    ASSERT_NE(link->tooltip, nullptr);
    EXPECT_EQ(std::wstring(link->tooltip), kHomePage);
    EXPECT_EQ(link->fontFace, L"MS Sans Serif");
    EXPECT_EQ(link->foreColour, 0x00FFC0C0U);
    EXPECT_FALSE(link->backColour.has_value()) << "the link is transparent";
    EXPECT_EQ(findControl(form, L"lblOK")->backColour, std::optional<Colour>(0x00400040));
    EXPECT_EQ(findControl(form, L"Text1")->kind, ControlKind::TextBox);

    // The text fills the top of the box; the link and the button stand centred under it.
    const Box text = boxInForm(form, *findControl(form, L"Text1"));
    EXPECT_EQ(text.left, 0);
    EXPECT_EQ(text.top, 0);
    EXPECT_GE(text.right - text.left, form.clientWidth - 15) << "at most a pixel to spare";
    const auto* textBox = findControl(form, L"Text1");
    EXPECT_NE(textBox->backColour.value_or(form.backColour), form.backColour)
        << "the text area stands out from the box";
    int previousBottom = text.bottom;
    for (const wchar_t* name : {L"lblHomePage", L"lblOK"}) {
        const Box box = boxInForm(form, *findControl(form, name));
        EXPECT_GT(box.top, previousBottom) << name;
        EXPECT_LE(std::abs(box.left + box.right - form.clientWidth), 2 * 60)
            << "off centre by more than 4 pixels: " << name;
        previousBottom = box.bottom;
    }
    for (const auto& control : form.controls) {
        if (control.kind == ControlKind::Label) {
            EXPECT_FALSE(control.caption.empty()) << std::wstring(control.name);
        }
    }
}

// The popup of the last half minute must be seen over any window: dark red text on black, in a
// borderless window without a taskbar button, its label across the whole width.
TEST(DialogLayouts, PopupIsRedOnBlackAndBorderless) {
    const FormDesc& form = frmDialLayout();
    EXPECT_EQ(form.className, L"frmDial");
    EXPECT_EQ(form.border, BorderStyle::None);
    EXPECT_FALSE(form.showInTaskbar);
    EXPECT_EQ(form.backColour, 0x00000000U);
    expectContractIds(form, {{L"Label1", 5001}});
    ASSERT_EQ(form.controls.size(), 1U);
    const ControlDesc& label = form.controls[0];
    const auto red = label.foreColour & 0xFF, green = (label.foreColour >> 8) & 0xFF,
               blue = (label.foreColour >> 16) & 0xFF;
    EXPECT_GE(red, 0x80U) << "a clear red";
    EXPECT_EQ(green, 0U);
    EXPECT_EQ(blue, 0U);
    EXPECT_EQ(label.foreColour >> 24, 0U) << "a plain RGB colour";
    EXPECT_FALSE(label.backColour.has_value()) << "transparent over the black window";
    EXPECT_EQ(label.alignment, Alignment::Centre);
    expectInsideClientArea(form);
    expectReadable(form);
    const Box box = boxInForm(form, label);
    EXPECT_GE(box.right - box.left, form.clientWidth * 9 / 10) << "room for the whole caption";
    // Big enough to read from a distance: a large font in a box with room for it.
    EXPECT_GE(label.pointSize, 12.0);
    EXPECT_GE(twipsToPixels(label.height, 96), -fontHeightForDpi(label.pointSize, 96));
}

} // namespace
} // namespace zorvo
