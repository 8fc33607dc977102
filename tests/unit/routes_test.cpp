// The route tables against the designs: every menu command, timer and label button runs exactly
// one handler, key events a key handler, and no route names something the design lacks. What each
// route runs is checked by the behaviour tests, which send every event through these tables.

#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "app/frm_main_layout.h"
#include "batch/frm_bat.h"
#include "batch/frm_bat_layout.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"

namespace zorvo {
namespace {

template <typename Logic>
void expectSoundRoutes(const FormDesc& form, std::span<const Route<Logic>> routes) {
    const auto count = [&](int source, Event event) {
        return std::ranges::count_if(
            routes, [&](const Route<Logic>& r) { return r.source == source && r.event == event; });
    };
    for (const MenuDesc& menu : form.menus) {
        EXPECT_EQ(count(menu.id, Event::Menu), menu.id != 0 ? 1 : 0) << menu.id;
    }
    for (const TimerDesc& timer : form.timers) {
        EXPECT_EQ(count(timer.id, Event::Timer), 1) << timer.id;
    }
    for (const ControlDesc& control : form.controls) {
        EXPECT_EQ(count(control.id, Event::Click), control.clickable ? 1 : 0) << control.id;
    }
    for (const Route<Logic>& route : routes) {
        EXPECT_EQ(count(route.source, route.event), 1) << route.source;
        EXPECT_EQ(route.keyHandler != nullptr, route.event == Event::KeyDown) << route.source;
        EXPECT_TRUE(route.handler || route.keyHandler) << route.source;
        const bool known =
            route.event == Event::Menu
                ? std::ranges::any_of(form.menus, [&](auto& m) { return m.id == route.source; })
            : route.event == Event::Timer
                ? std::ranges::any_of(form.timers, [&](auto& t) { return t.id == route.source; })
                : route.source == kFormSource || std::ranges::any_of(form.controls, [&](auto& c) {
                      return c.id == route.source;
                  });
        EXPECT_TRUE(known && (route.source != 0 || route.event != Event::Menu)) << route.source;
    }
}

TEST(Routes, EveryCommandTimerAndLabelButtonHasExactlyOneHandler) {
    expectSoundRoutes(frmMainLayout(), frmMainRoutes());
    expectSoundRoutes(frmBatLayout(), frmBatRoutes());
    expectSoundRoutes(frmAboutLayout(), frmAboutRoutes());
}

} // namespace
} // namespace zorvo
