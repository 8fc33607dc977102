// The route tables against the designs: every menu command, timer and label button runs exactly
// one handler, and no route names something the design does not have; and the main window's
// events, sent through its table, reach the handlers whose effects a user sees.

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "app/frm_main_layout.h"
#include "batch/frm_bat.h"
#include "batch/frm_bat_layout.h"
#include "core/routes.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"
#include "fakes.h"
#include "route_cases.h"

namespace zorvo {
namespace {

template <typename Logic>
void expectSoundRoutes(const FormDesc& form, std::span<const Route<Logic>> routes) {
    for (const MenuDesc& menu : form.menus) {
        if (menu.id != 0 && !menu.separator) {
            EXPECT_EQ(countRoutes(routes, menu.id, Event::Menu), 1)
                << std::string(menu.name.begin(), menu.name.end());
        }
    }
    for (const TimerDesc& timer : form.timers) {
        EXPECT_EQ(countRoutes(routes, timer.id, Event::Timer), 1);
    }
    for (const ControlDesc& control : form.controls) {
        if (control.kind == ControlKind::Label) {
            EXPECT_EQ(countRoutes(routes, control.id, Event::Click), control.clickable ? 1 : 0)
                << std::string(control.name.begin(), control.name.end());
        }
    }
    for (const Route<Logic>& route : routes) {
        EXPECT_EQ(countRoutes(routes, route.source, route.event), 1) << route.source;
        EXPECT_TRUE(route.handler || route.keyHandler) << route.source;
        bool known = false;
        if (route.event == Event::Menu) {
            for (const MenuDesc& menu : form.menus) {
                known = known || (menu.id == route.source && !menu.separator);
            }
        } else if (route.event == Event::Timer) {
            for (const TimerDesc& timer : form.timers) {
                known = known || timer.id == route.source;
            }
        } else {
            known = route.source == kFormSource;
            for (const ControlDesc& control : form.controls) {
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
    constexpr Route<Journal> routes[] = {
        {7, Event::Click, &Journal::Click},
        {7, Event::KeyDown, &Journal::Key},
    };
    Journal journal;
    EXPECT_TRUE(dispatch<Journal>(routes, journal, 7, Event::Click));
    EXPECT_TRUE(dispatch<Journal>(routes, journal, 7, Event::KeyDown, {13, 2}));
    EXPECT_FALSE(dispatch<Journal>(routes, journal, 8, Event::Click));
    EXPECT_FALSE(dispatch<Journal>(routes, journal, 7, Event::MouseMove));
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"Click", "Key 13 2"}));
}

using fakes::FakeMenuItem;
using fakes::MainHarness;
using MainCase = route_cases::RouteCase<MainHarness>;
namespace id = frm_main_id;

void activate(MainHarness& h) {
    h.form_.lblActivate_Click();
}
void hoverBoth(MainHarness& h) {
    h.form_.lblActivate_MouseMove();
    h.form_.lblReset_MouseMove();
}
void expectDragged(MainHarness& h) {
    EXPECT_EQ(h.form.drags, 1);
}
void expectCounting(MainHarness& h) {
    EXPECT_TRUE(h.Timer3.enabled());
    EXPECT_TRUE(h.lblReset.visible());
}
void expectIdle(MainHarness& h) {
    EXPECT_FALSE(h.Timer3.enabled());
    EXPECT_FALSE(h.lblReset.visible());
}
/// The task item is the one checked, and the status line says so.
std::function<void(MainHarness&)> expectTask(FakeMenuItem MainHarness::*item,
                                             const wchar_t* status) {
    return [item, status](MainHarness& h) {
        int checked = 0;
        for (auto* task : {&h.mnuShutDown, &h.mnuAlarm, &h.mnuWait, &h.mnuReboot, &h.mnuSleep}) {
            checked += task->checked() ? 1 : 0;
        }
        EXPECT_TRUE((h.*item).checked());
        EXPECT_EQ(checked, 1);
        EXPECT_EQ(h.lblEnter.caption(), status);
    };
}
void expectJournal(MainHarness& h, const char* entry) {
    EXPECT_EQ(std::count(h.journal.begin(), h.journal.end(), entry), 1);
    EXPECT_EQ(h.journal.size(), 1u) << "nothing else opened";
}

TEST(Routes, EachEventOfTheMainWindowReachesItsHandler) {
    const auto plainLabelDown = [](int label, const char* name) {
        return MainCase{label, Event::MouseDown, name, nullptr, expectDragged};
    };
    const std::vector<MainCase> cases = {
        {kFormSource, Event::MouseMove, "form move restores the buttons", hoverBoth,
         [](MainHarness& h) {
             EXPECT_EQ(h.lblActivate.foreColour(), kButtonColour);
             EXPECT_EQ(h.lblReset.foreColour(), kButtonColour);
         }},
        plainLabelDown(kFormSource, "form press drags"),
        plainLabelDown(id::lblDate, "lblDate press drags"),
        plainLabelDown(id::lblEnter, "lblEnter press drags"),
        plainLabelDown(id::lblH, "lblH press drags"),
        plainLabelDown(id::lblLog, "lblLog press drags"),
        plainLabelDown(id::lblMin, "lblMin press drags"),
        plainLabelDown(id::lblTime, "lblTime press drags"),
        {id::lblActivate, Event::Click, "lblActivate starts", nullptr, expectCounting},
        {id::lblActivate, Event::MouseMove, "lblActivate lights up", nullptr,
         [](MainHarness& h) {
             EXPECT_EQ(h.lblActivate.foreColour(), kButtonHoverColour);
             EXPECT_EQ(h.lblReset.foreColour(), kButtonColour);
         }},
        {id::lblReset, Event::Click, "lblReset stops", activate, expectIdle},
        {id::lblReset, Event::MouseMove, "lblReset lights up", activate,
         [](MainHarness& h) {
             EXPECT_EQ(h.lblReset.foreColour(), kButtonHoverColour);
             EXPECT_EQ(h.lblActivate.foreColour(), kButtonColour);
         }},
        {id::Combo1, Event::Change, "Combo1 change applies the minutes rule",
         [](MainHarness& h) { h.Combo1.text_ = L"0"; },
         [](MainHarness& h) {
             EXPECT_EQ(h.Combo1.text(), L"1");
             EXPECT_EQ(h.messages.shown.size(), 1u);
         }},
        {id::Combo1, Event::KeyDown, "Enter in Combo1 starts", nullptr, expectCounting,
         KeyArgs{13, 0}},
        {id::Combo1, Event::GotFocus, "Combo1 focus follows typing", nullptr,
         [](MainHarness& h) { EXPECT_TRUE(h.Timer1.enabled()); }},
        {id::Combo1, Event::LostFocus, "Combo1 focus lost",
         [](MainHarness& h) { h.form_.Combo1_GotFocus(); },
         [](MainHarness& h) { EXPECT_FALSE(h.Timer1.enabled()); }},
        {id::mnuActive, Event::Menu, "mnuActive starts", nullptr, expectCounting},
        {id::mnuReset, Event::Menu, "mnuReset stops", activate, expectIdle},
        {id::mnuTray, Event::Menu, "mnuTray hides", nullptr,
         [](MainHarness& h) {
             EXPECT_FALSE(h.form.visible());
             EXPECT_TRUE(h.Timer4.enabled());
         }},
        {id::mnuTopM, Event::Menu, "mnuTopM keeps on top", nullptr,
         [](MainHarness& h) {
             EXPECT_TRUE(h.mnuTopM.checked());
             EXPECT_TRUE(h.form.topMost);
         }},
        {id::mnuExit, Event::Menu, "mnuExit ends", nullptr,
         [](MainHarness& h) {
             EXPECT_TRUE(h.form.closed);
             EXPECT_EQ(h.tray.last().operation, TrayOperation::Delete);
         }},
        {id::mnuShutDown, Event::Menu, "mnuShutDown",
         [](MainHarness& h) { h.form_.mnuAlarm_Click(); },
         expectTask(&MainHarness::mnuShutDown, L"Zorvo настроен на выключение")},
        {id::mnuAlarm, Event::Menu, "mnuAlarm", nullptr,
         expectTask(&MainHarness::mnuAlarm, L"Zorvo настроен на подачу звукового сигнала")},
        {id::mnuWait, Event::Menu, "mnuWait", nullptr,
         expectTask(&MainHarness::mnuWait, L"Zorvo настроен на ждущий режим")},
        {id::mnuReboot, Event::Menu, "mnuReboot", nullptr,
         expectTask(&MainHarness::mnuReboot, L"Zorvo настроен на перезагрузку")},
        {id::mnuSleep, Event::Menu, "mnuSleep", nullptr,
         expectTask(&MainHarness::mnuSleep, L"Zorvo настроен на спящий режим")},
        {id::mnuLog, Event::Menu, "mnuLog", nullptr,
         [](MainHarness& h) {
             EXPECT_TRUE(h.mnuLog.checked());
             EXPECT_TRUE(h.lblLog.visible());
         }},
        {id::mnuBat, Event::Menu, "mnuBat", nullptr,
         [](MainHarness& h) { expectJournal(h, "bat"); }},
        {id::mnuAbout, Event::Menu, "mnuAbout", nullptr,
         [](MainHarness& h) { expectJournal(h, "about"); }},
        {id::Timer1, Event::Timer, "Timer1 shows hours",
         [](MainHarness& h) { h.Combo1.text_ = L"90"; },
         [](MainHarness& h) { EXPECT_EQ(h.lblH.caption(), L"1:30"); }},
        {id::Timer2, Event::Timer, "Timer2 shows the time",
         [](MainHarness& h) { h.clock.time = L"23:59:58"; },
         [](MainHarness& h) { EXPECT_EQ(h.lblTime.caption(), L"23:59:58"); }},
        {id::Timer3, Event::Timer, "Timer3 counts down", activate,
         [](MainHarness& h) {
             EXPECT_EQ(h.form_.RemainingSeconds, 59);
             EXPECT_EQ(h.form.caption(), L"Zorvo - до выключения осталось 0 мин 59 сек");
         }},
        {id::Timer4, Event::Timer, "Timer4 answers the hot key",
         [](MainHarness& h) {
             h.form_.mnuTray_Click();
             h.form_.HiddenTickCount = 29;
             h.keyboard.keys[0xA2] = 0x8000; // left Ctrl
             h.keyboard.keys[L'T'] = 0x8000;
         },
         [](MainHarness& h) { EXPECT_TRUE(h.form.visible()); }},
    };
    route_cases::expectEachRouteReachesItsHandler<frmMain, MainHarness>(
        frmMainRoutes(), cases, [](MainHarness& h) -> frmMain& { return h.form_; },
        [](MainHarness& h) {
            h.start();
            h.journal.clear();
        });
}

} // namespace
} // namespace zorvo
