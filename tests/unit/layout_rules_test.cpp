// The rules every form's design keeps: unique IDs and shortcuts, every control inside its form
// and frame, no two covering each other (except the designed pairs), readable text, a complete
// tab order, popups without a taskbar button, and the rows and columns the design lines up. Where
// a control stands to the pixel, the reference pictures check.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "app/frm_main_layout.h"
#include "batch/batch_file.h"
#include "batch/frm_bat_layout.h"
#include "core/dpi_math.h"
#include "core/product.h"
#include "dialogs/frm_about_layout.h"
#include "dialogs/frm_dial_layout.h"
#include "fakes.h"

namespace zorvo {
namespace {

constexpr auto& main = frmMainLayout;
constexpr auto& bat = frmBatLayout;
constexpr auto& about = frmAboutLayout;
constexpr auto& dial = frmDialLayout;

/// Where a control lies in the form's client area, in twips (checking it lies inside its frame).
struct Box {
    int left, top, right, bottom;
    bool overlaps(const Box& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};
Box boxInForm(const FormDesc& form, const ControlDesc& c) {
    Box box{c.left, c.top, c.left + c.width, c.top + c.height};
    if (c.parentId != 0) {
        const auto frame = std::ranges::find(form.controls, c.parentId, &ControlDesc::id);
        EXPECT_NE(frame, form.controls.end()) << std::wstring(c.name);
        EXPECT_EQ(frame->kind, ControlKind::Frame);
        EXPECT_LE(box.right, frame->width) << "sticks out of its frame: " << std::wstring(c.name);
        EXPECT_LE(box.bottom, frame->height) << std::wstring(c.name);
        box = {box.left + frame->left, box.top + frame->top, box.right + frame->left,
               box.bottom + frame->top};
    }
    return box;
}

/// WCAG's contrast ratio of two &H00BBGGRR colours: 1 (the same) to 21 (black and white).
double contrast(Colour a, Colour b) {
    const auto luminance = [](Colour c) {
        const auto channel = [](Colour v) {
            const double s = static_cast<double>(v & 0xFF) / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c) + 0.7152 * channel(c >> 8) + 0.0722 * channel(c >> 16);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(LayoutRules, EveryForm) {
    // Transparent labels whose boxes touch by design: the log line under the status line, and
    // "Сбросить" just under "Активировать"; their texts stay apart.
    const std::set<std::pair<std::wstring_view, std::wstring_view>> overlapping = {
        {L"lblEnter", L"lblLog"}, {L"lblActivate", L"lblReset"}};
    // The client areas at 96 dpi, as the reference pictures show them.
    const std::tuple<const FormDesc*, int, int> sizes[] = {
        {&main(), 387, 256}, {&bat(), 229, 204}, {&about(), 234, 153}, {&dial(), 277, 206}};
    for (const auto& [formPtr, widthPx, heightPx] : sizes) {
        const FormDesc& form = *formPtr;
        SCOPED_TRACE(testing::PrintToString(std::wstring(form.className)));
        EXPECT_EQ(twipsToPixels(form.clientWidth, 96), widthPx);
        EXPECT_EQ(twipsToPixels(form.clientHeight, 96), heightPx);
        EXPECT_FALSE(form.className.empty() || form.caption.empty());
        // Only the main window has a taskbar button and a menu; the others are its popups.
        EXPECT_EQ(form.showInTaskbar, &form == &main());
        EXPECT_EQ(form.menus.empty(), &form != &main());
        EXPECT_EQ(form.border, &form == &main()   ? BorderStyle::FixedSingle
                               : &form == &dial() ? BorderStyle::None
                                                  : BorderStyle::FixedToolWindow);

        // IDs: controls and menu commands both arrive in WM_COMMAND.
        std::set<int> ids;
        for (const ControlDesc& c : form.controls) {
            EXPECT_TRUE(c.id != 0 && ids.insert(c.id).second) << "ID " << c.id;
        }
        for (const MenuDesc& m : form.menus) {
            EXPECT_EQ(m.id == 0, m.separator || m.parent.empty()) << std::wstring(m.name);
            EXPECT_TRUE(m.id == 0 || ids.insert(m.id).second) << "ID " << m.id;
        }

        std::vector<int> tabs;
        for (const ControlDesc& c : form.controls) {
            const std::wstring name(c.name);
            const Box box = boxInForm(form, c);
            EXPECT_TRUE(box.left >= 0 && box.top >= 0 && c.width > 0 && c.height > 0) << name;
            EXPECT_LE(box.right, form.clientWidth) << "sticks out on the right: " << name;
            EXPECT_LE(box.bottom, form.clientHeight) << "sticks out at the bottom: " << name;
            EXPECT_EQ(c.parentId != 0, c.kind == ControlKind::OptionButton) << name;
            // Readable: a sensible font in a box tall enough, a colour that stands out from what
            // lies behind (its own back, or the form's), a tooltip that says something.
            EXPECT_FALSE(c.fontFace.empty()) << name;
            EXPECT_TRUE(c.pointSize >= 8.0 && c.pointSize <= 14.0) << name;
            if (c.kind != ControlKind::TextBox && c.kind != ControlKind::Frame) {
                EXPECT_GE(twipsToPixels(c.height, 96), -fontHeightForDpi(c.pointSize, 96))
                    << "text taller than its box: " << name;
            }
            EXPECT_TRUE(c.tooltip == nullptr || c.tooltip[0] != L'\0') << name;
            EXPECT_GE(contrast(c.foreColour, c.backColour.value_or(form.backColour)), 3.0)
                << "text hard to tell from its background: " << name;
            // The main window writes several captions at run time; the dialogs have theirs here.
            EXPECT_TRUE(!c.caption.empty() || &form == &main() || c.kind == ControlKind::ComboBox ||
                        c.kind == ControlKind::DropDownList || c.kind == ControlKind::TextBox)
                << name;
            if (c.tabIndex >= 0) {
                tabs.push_back(c.tabIndex);
            }
            for (const ControlDesc& other : form.controls) {
                if (&other > &c && other.parentId != c.id && c.parentId != other.id &&
                    !overlapping.contains({c.name, other.name})) {
                    EXPECT_FALSE(box.overlaps(boxInForm(form, other)))
                        << name << " and " << std::wstring(other.name) << " overlap";
                }
            }
        }
        // Tab walks every control that takes input, without gaps; in the dialogs in the order
        // they are made.
        EXPECT_TRUE(&form == &main() || std::ranges::is_sorted(tabs));
        std::ranges::sort(tabs);
        for (std::size_t i = 0; i < tabs.size(); ++i) {
            EXPECT_EQ(tabs[i], static_cast<int>(i)) << "tab index missing or repeated";
        }
    }
}

TEST(LayoutRules, ShortcutsAndAccessKeysAreUnambiguous) {
    std::set<std::tuple<int, bool, bool, bool>> shortcuts;
    std::map<std::wstring_view, std::set<wchar_t>> accessKeys;
    for (const MenuDesc& menu : main().menus) {
        if (!menu.parent.empty()) {
            const auto parent = std::ranges::find(main().menus, menu.parent, &MenuDesc::name);
            EXPECT_TRUE(parent != main().menus.end() && parent->parent.empty())
                << "items hang off a top-level menu";
        }
        const Shortcut& s = menu.shortcut;
        if (!s.empty()) {
            EXPECT_TRUE(shortcuts.emplace(s.virtualKey, s.ctrl, s.alt, s.shift).second)
                << std::wstring(s.text);
            // The text shown in the menu names the key that works.
            const std::wstring key = s.virtualKey == 0x08
                                         ? L"Backspace"
                                         : std::wstring(1, static_cast<wchar_t>(s.virtualKey));
            EXPECT_EQ(s.text,
                      std::wstring(s.ctrl ? L"Ctrl+" : L"") + (s.alt ? L"Alt+" : L"") + key);
        }
        if (!menu.separator) {
            const auto amp = menu.caption.find(L'&');
            ASSERT_NE(amp, std::wstring_view::npos) << "every item has an access key";
            EXPECT_TRUE(accessKeys[menu.parent]
                            .insert(static_cast<wchar_t>(std::towupper(menu.caption[amp + 1])))
                            .second)
                << "access key used twice in one menu";
        }
    }
}

/// An edge of a control, or of the form's client area for the name "".
enum class Edge { Left, Top, Right, Bottom, Height, Centre };
int edge(const FormDesc& form, std::wstring_view name, Edge e) {
    const Box b = name.empty() ? Box{0, 0, form.clientWidth, form.clientHeight}
                               : boxInForm(form, control(form, name));
    const int edges[] = {b.left, b.top, b.right, b.bottom, b.bottom - b.top, b.left + b.right};
    return edges[static_cast<int>(e)]; // Centre: twice the centre
}

// The rows and columns of each design: `b`'s edge lies from `min` to `max` twips past `a`'s.
TEST(LayoutRules, RelatedControlsLineUp) {
    using enum Edge;
    struct LineUp {
        const FormDesc& form;
        std::wstring_view a;
        Edge ea;
        std::wstring_view b;
        Edge eb;
        int min = 0, max = 0;
    };
    const LineUp rows[] = {
        // The minutes box has its unit on its right and the same value in hours right under it.
        {main(), L"Combo1", Left, L"lblH", Left},
        {main(), L"Combo1", Right, L"lblH", Right},
        {main(), L"Combo1", Bottom, L"lblH", Top, 0, 30},
        {main(), L"Combo1", Top, L"lblMin", Top},
        // Date and clock in the two bottom corners, within two pixels of the edge.
        {main(), L"lblDate", Top, L"lblTime", Top},
        {main(), L"", Left, L"lblDate", Left},
        {main(), L"lblTime", Right, L"", Right, 0, 30},
        // The status line on the centre line; the buttons one under the other, centred alike.
        {main(), L"", Centre, L"lblEnter", Centre, -90, 90},
        {main(), L"lblActivate", Centre, L"lblReset", Centre, -30, 30},
        {main(), L"lblActivate", Top, L"lblReset", Top, 1, INT_MAX},
        // The batch dialog: two columns of caption over box, the option group across both, the
        // two buttons on one row, the right edges in line, the options evenly under each other.
        {bat(), L"Label1", Top, L"Label2", Top},
        {bat(), L"Label1", Bottom, L"Label2", Bottom},
        {bat(), L"Combo1", Top, L"Combo2", Top},
        {bat(), L"Combo1", Bottom, L"Combo2", Bottom},
        {bat(), L"lblOK", Top, L"lblCancel", Top},
        {bat(), L"lblOK", Bottom, L"lblCancel", Bottom},
        {bat(), L"Label1", Left, L"Combo1", Left},
        {bat(), L"Label1", Left, L"Frame1", Left},
        {bat(), L"Label1", Left, L"lblOK", Left},
        {bat(), L"Label2", Left, L"Combo2", Left},
        {bat(), L"Combo2", Right, L"Frame1", Right},
        {bat(), L"Combo2", Right, L"lblCancel", Right},
        {bat(), L"Option1", Left, L"Option2", Left},
        {bat(), L"Option1", Left, L"Option3", Left},
        {bat(), L"Option1", Height, L"Option2", Height},
        {bat(), L"Option1", Height, L"Option3", Height},
        {bat(), L"Option1", Bottom, L"Option2", Top, 1, INT_MAX},
        // The about box: the text fills its top, the link and the button stand centred under it.
        {about(), L"", Left, L"Text1", Left},
        {about(), L"", Top, L"Text1", Top},
        {about(), L"Text1", Right, L"", Right, 0, 15},
        {about(), L"Text1", Bottom, L"lblHomePage", Top, 1, INT_MAX},
        {about(), L"lblHomePage", Bottom, L"lblOK", Top, 1, INT_MAX},
        {about(), L"", Centre, L"lblHomePage", Centre, -120, 120},
        {about(), L"", Centre, L"lblOK", Centre, -120, 120},
        // The popup's label across nine tenths of its width at least.
        {dial(), L"Label1", Left, L"", Left, -417, 0},
        {dial(), L"Label1", Right, L"", Right, 0, 417},
    };
    for (const LineUp& r : rows) {
        const int d = edge(r.form, r.b, r.eb) - edge(r.form, r.a, r.ea);
        EXPECT_TRUE(d >= r.min && d <= r.max)
            << std::wstring(r.form.className) << ": " << std::wstring(r.a) << " and "
            << std::wstring(r.b) << " " << static_cast<int>(r.eb) << ": " << d;
    }
    const int step = edge(bat(), L"Option2", Top) - edge(bat(), L"Option1", Top);
    EXPECT_EQ(edge(bat(), L"Option3", Top) - edge(bat(), L"Option2", Top), step) << "even spacing";
}

// Controls of one kind look alike: the minutes boxes and the action list in every form, the
// batch dialog's captions and options, the date and the clock.
TEST(LayoutRules, ControlsOfOneKindLookAlike) {
    struct Pair {
        const FormDesc& formA;
        std::wstring_view a;
        const FormDesc& formB;
        std::wstring_view b;
        bool sameHeight;
    };
    const Pair pairs[] = {
        {main(), L"Combo1", bat(), L"Combo1", true},
        {main(), L"Combo1", bat(), L"Combo2", true},
        {bat(), L"Label1", bat(), L"Label2", false},
        {bat(), L"Label1", bat(), L"Frame1", false},
        {bat(), L"Option1", bat(), L"Option2", false},
        {bat(), L"Option1", bat(), L"Option3", false},
        {bat(), L"lblOK", bat(), L"lblCancel", true},
        {main(), L"lblDate", main(), L"lblTime", false},
    };
    for (const Pair& p : pairs) {
        const ControlDesc &a = control(p.formA, p.a), &b = control(p.formB, p.b);
        SCOPED_TRACE(testing::PrintToString(std::wstring(p.a) + L" " + std::wstring(p.b)));
        EXPECT_EQ(a.fontFace, b.fontFace);
        EXPECT_EQ(a.pointSize, b.pointSize);
        EXPECT_EQ(a.foreColour, b.foreColour);
        EXPECT_EQ(a.backColour.value_or(p.formA.backColour),
                  b.backColour.value_or(p.formB.backColour));
        EXPECT_TRUE(!p.sameHeight || a.height == b.height);
    }
}

// What the behaviour tests do not show by themselves: the main window's labels stay transparent
// over its picture and its countdown is paced against the clock; the popup's text is a clear
// red, large and centred; the batch dialog lists its actions in the order a sorted list shows.
TEST(LayoutRules, WhatTheDesignAloneSays) {
    for (const ControlDesc& c : main().controls) {
        EXPECT_EQ(c.backColour.has_value(), c.kind == ControlKind::ComboBox)
            << std::wstring(c.name);
    }
    EXPECT_TRUE(main().pictureWidth <= main().clientWidth &&
                twipsToPixels(main().pictureWidth, 96) == 387 &&
                twipsToPixels(main().pictureHeight, 96) == 251);
    const auto timer3 = std::ranges::find(main().timers, L"Timer3", &TimerDesc::name);
    EXPECT_TRUE(timer3 != main().timers.end() && timer3->pacing == TimerPacing::Paced);
    // The colour the form's mouse move gives back to the two buttons is their own.
    EXPECT_EQ(control(main(), L"lblActivate").foreColour, kButtonColour);
    EXPECT_EQ(control(main(), L"lblReset").foreColour, kButtonColour);
    // The about box's text stands out from the box; its link shows the address it opens.
    EXPECT_NE(control(about(), L"Text1").backColour.value_or(about().backColour),
              about().backColour);
    const wchar_t* address = control(about(), L"lblHomePage").tooltip;
    EXPECT_EQ(std::wstring(address ? address : L""), kHomePage);

    const ControlDesc& popup = control(dial(), L"Label1");
    EXPECT_EQ(popup.foreColour & 0xFFFFFF00U, 0U) << "red alone, a plain RGB colour";
    EXPECT_GE(popup.foreColour & 0xFF, 0x80U) << "a clear red";
    EXPECT_FALSE(popup.backColour.has_value()) << "transparent over the black window";
    EXPECT_EQ(popup.alignment, Alignment::Centre);
    EXPECT_GE(popup.pointSize, 12.0) << "to be read from a distance";

    EXPECT_TRUE(std::ranges::is_sorted(
        kTasks, {}, [](const Task& t) { return std::wstring_view(t.batchItem); }));
}

} // namespace
} // namespace zorvo
