#include <algorithm>

#include <gtest/gtest.h>

#include "core/product.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"
#include "fakes.h"

namespace zorvo {
namespace {

using fakes::AboutHarness;

TEST(AboutBox, TextLinkAndHover) {
    AboutHarness h;
    h.text.text_ = L"edited by the user";
    h.about.Form_Load();
    const std::wstring t = h.text.text();
    EXPECT_EQ(
        t.rfind(L"Zorvo v" ZORVO_VERSION_WIDE L"\r\nДата создания: 16 ноября 2007\r\nАвтор: ", 0),
        0u);
    EXPECT_EQ(std::count(t.begin(), t.end(), L'\n'), 5) << "six lines";
    EXPECT_NE(t.substr(t.size() - 2), L"\r\n");

    h.send(L"lblHomePage", Event::Click);
    h.send(L"lblHomePage", Event::Click);
    EXPECT_EQ(h.links.opened, (std::vector<std::wstring>{kHomePage, kHomePage}));
    EXPECT_FALSE(h.form.closed);

    h.send(L"lblHomePage", Event::MouseMove);
    h.send(L"lblOK", Event::MouseMove);
    EXPECT_EQ(h.link.foreColour(), 0x00FF0000u);
    EXPECT_TRUE(h.ok.border());
    EXPECT_EQ(h.ok.backColour(), 0x00404040u);
    h.send(L"", Event::MouseMove);
    EXPECT_EQ(h.link.foreColour(), 0x00FFC0C0u);
    EXPECT_FALSE(h.ok.border());
    EXPECT_EQ(h.ok.backColour(), 0x00400040u);
    h.send(L"lblOK", Event::Click);
    EXPECT_TRUE(h.form.closed);
}

} // namespace
} // namespace zorvo
