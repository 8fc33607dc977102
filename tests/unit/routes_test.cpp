// The route tables against the designs: every menu command, timer and label button runs exactly
// one handler, and no route names something the design does not have.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "app/frm_main_layout.h"
#include "batch/frm_bat.h"
#include "batch/frm_bat_layout.h"
#include "core/routes.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"

namespace zorvo {
namespace {

using ui::Event;

template <typename Logic>
void expectSoundRoutes(const ui::FormDesc& form, std::span<const ui::Route<Logic>> routes) {
    for (const ui::MenuDesc& menu : form.menus) {
        if (menu.id != 0 && !menu.separator) {
            EXPECT_EQ(ui::countRoutes(routes, menu.id, Event::Menu), 1)
                << std::string(menu.name.begin(), menu.name.end());
        }
    }
    for (const ui::TimerDesc& timer : form.timers) {
        EXPECT_EQ(ui::countRoutes(routes, timer.id, Event::Timer), 1);
    }
    for (const ui::ControlDesc& control : form.controls) {
        if (control.kind == ui::ControlKind::Label) {
            EXPECT_EQ(ui::countRoutes(routes, control.id, Event::Click), control.clickable ? 1 : 0)
                << std::string(control.name.begin(), control.name.end());
        }
    }
    for (const ui::Route<Logic>& route : routes) {
        EXPECT_EQ(ui::countRoutes(routes, route.source, route.event), 1) << route.source;
        EXPECT_TRUE(route.handler || route.keyHandler) << route.source;
        bool known = false;
        if (route.event == Event::Menu) {
            for (const ui::MenuDesc& menu : form.menus) {
                known = known || (menu.id == route.source && !menu.separator);
            }
        } else if (route.event == Event::Timer) {
            for (const ui::TimerDesc& timer : form.timers) {
                known = known || timer.id == route.source;
            }
        } else {
            known = route.source == ui::kFormSource;
            for (const ui::ControlDesc& control : form.controls) {
                known = known || control.id == route.source;
            }
        }
        EXPECT_TRUE(known) << "a route from " << route.source << " that the design lacks";
        EXPECT_EQ(route.keyHandler != nullptr, route.event == Event::KeyDown) << route.source;
    }
}

TEST(Routes, EveryCommandTimerAndLabelButtonHasExactlyOneHandler) {
    expectSoundRoutes(frmMainLayout(), frmMainRoutes());
    expectSoundRoutes(frmBatLayout(), frmBatRoutes());
    expectSoundRoutes(frmAboutLayout(), frmAboutRoutes());
}

struct Journal {
    std::vector<std::string> calls;
    void Click() { calls.push_back("Click"); }
    void Key(int keyCode, int shift) {
        calls.push_back("Key " + std::to_string(keyCode) + " " + std::to_string(shift));
    }
};

TEST(Routes, DispatchRunsTheRoutedHandlerOnlyForItsSourceAndEvent) {
    constexpr ui::Route<Journal> routes[] = {
        {7, Event::Click, &Journal::Click},
        {7, Event::KeyDown, &Journal::Key},
    };
    Journal journal;
    EXPECT_TRUE(ui::dispatch<Journal>(routes, journal, 7, Event::Click));
    EXPECT_TRUE(ui::dispatch<Journal>(routes, journal, 7, Event::KeyDown, {13, 2}));
    EXPECT_FALSE(ui::dispatch<Journal>(routes, journal, 8, Event::Click));
    EXPECT_FALSE(ui::dispatch<Journal>(routes, journal, 7, Event::MouseMove));
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"Click", "Key 13 2"}));
}

} // namespace
} // namespace zorvo
