#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/frm_about.h"
#include "fakes.h"

namespace zorvo {
namespace {

using fakes::FakeLabel;
using fakes::Journal;

struct FakeText final : fakes::FakeControl<ui::TextBox> {
    std::wstring text_;
    std::wstring text() const override { return text_; }
    void setText(const std::wstring& t) override { text_ = t; }
};

struct FakeLinks final : LinkOpener {
    std::vector<std::wstring> opened;
    void open(const std::wstring& address) override { opened.push_back(address); }
};

TEST(AboutBox, TextLinkAndHover) {
    Journal journal;
    fakes::FakeForm form{journal};
    FakeText text;
    FakeLabel link{L"Сайт программы", kLinkColour}, ok{L"OK", 0x00FFFFFF};
    FakeLinks links;
    frmAbout about{AboutControls{form, text, link, ok}, links};
    text.text_ = L"edited by the user";
    about.Form_Load();
    const std::wstring t = text.text();
    EXPECT_EQ(t.rfind(L"Zorvo v1.3.0.5\r\nДата создания: 16 ноября 2007\r\nАвтор: ", 0), 0u);
    EXPECT_EQ(std::count(t.begin(), t.end(), L'\n'), 5) << "six lines";
    EXPECT_NE(t.substr(t.size() - 2), L"\r\n");

    about.lblHomePage_Click();
    about.lblHomePage_Click();
    EXPECT_EQ(links.opened, (std::vector<std::wstring>{kHomePage, kHomePage}));
    EXPECT_FALSE(form.closed);

    about.lblHomePage_MouseMove();
    about.lblOK_MouseMove();
    EXPECT_EQ(link.foreColour(), 0x00FF0000u);
    EXPECT_TRUE(ok.border());
    EXPECT_EQ(ok.backColour(), 0x00404040u);
    about.Form_MouseMove();
    EXPECT_EQ(link.foreColour(), 0x00FFC0C0u);
    EXPECT_FALSE(ok.border());
    EXPECT_EQ(ok.backColour(), 0x00400040u);
    about.lblOK_Click();
    EXPECT_TRUE(form.closed);
}

} // namespace
} // namespace zorvo
