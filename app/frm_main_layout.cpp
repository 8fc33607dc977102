#include "app/frm_main_layout.h"

#include <array>

#include "app/frm_main.h"
#include "core/product.h"

namespace zorvo {

namespace {

namespace id = frm_main_id;

constexpr wchar_t kFont[] = L"Comic Sans MS";
constexpr Colour kLight = 0x00FFFFC0;
constexpr Colour kPale = 0x00E0E0E0;

constexpr std::array kControls{
    ControlDesc{.id = id::lblEnter,
                .name = L"lblEnter",
                .caption = L"Zorvo настроен на выключение",
                .left = 295,
                .top = 150,
                .width = 5295,
                .height = 375,
                .foreColour = kLight,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .tooltip = L"Текущий статус",
                .tabIndex = 0},
    ControlDesc{.id = id::lblLog,
                .name = L"lblLog",
                .caption = L"Запись в лог ведется",
                .left = 1575,
                .top = 390,
                .width = 2655,
                .height = 375,
                .foreColour = kLight,
                .fontFace = kFont,
                .pointSize = 9,
                .alignment = Alignment::Centre,
                .visible = false,
                .tabIndex = 7},
    ControlDesc{.id = id::Combo1,
                .name = L"Combo1",
                .kind = ControlKind::ComboBox,
                .caption = L"Combo1",
                .left = 360,
                .top = 1440,
                .width = 700,
                .height = 345,
                .foreColour = 0x00FFFF80,
                .backColour = 0x00400000,
                .fontFace = kFont,
                .pointSize = 8.25,
                .tooltip = L"Выберите время(в минутах)",
                .tabIndex = 3,
                .labelledBy = id::lblMin},
    ControlDesc{.id = id::lblMin,
                .name = L"lblMin",
                .caption = L"в минутах",
                .left = 4440,
                .top = 1440,
                .width = 975,
                .height = 255,
                .foreColour = 0x00C0C0C0,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Left,
                .tabIndex = 1},
    ControlDesc{.id = id::lblH,
                .name = L"lblH",
                .caption = L"0:01",
                .left = 360,
                .top = 1800,
                .width = 700,
                .height = 255,
                .foreColour = 0x00808080,
                .fontFace = kFont,
                .pointSize = 8.25,
                .alignment = Alignment::Centre,
                .tooltip = L"Время в часах",
                .tabIndex = 8},
    ControlDesc{.id = id::lblDate,
                .name = L"lblDate",
                .caption = L"",
                .left = 0,
                .top = 3000,
                .width = 1455,
                .height = 375,
                .foreColour = kPale,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .tooltip = L"Текущая дата",
                .tabIndex = 5},
    ControlDesc{.id = id::lblTime,
                .name = L"lblTime",
                .caption = L"",
                .left = 4560,
                .top = 3000,
                .width = 1215,
                .height = 255,
                .foreColour = kPale,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .tooltip = L"Текущее время",
                .tabIndex = 4},
    ControlDesc{.id = id::lblActivate,
                .name = L"lblActivate",
                .caption = L"Активировать",
                .left = 2325,
                .top = 3255,
                .width = 1305,
                .height = 270,
                .foreColour = kLight,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .tooltip = L"Нажмите для включения таймера",
                .clickable = true,
                .tabIndex = 2},
    ControlDesc{.id = id::lblReset,
                .name = L"lblReset",
                .caption = L"Сбросить",
                .left = 2255,
                .top = 3495,
                .width = 1455,
                .height = 255,
                .foreColour = kLight,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .tooltip = L"Нажмите для отключения таймера",
                .clickable = true,
                .visible = false,
                .tabIndex = 6},
};

constexpr std::array kTimers{
    // The hours display follows typing; there is nothing to follow between keystrokes.
    TimerDesc{id::Timer1, L"Timer1", 1, false, TimerPacing::OnInput},
    // The clock only needs to change when the second does.
    TimerDesc{id::Timer2, L"Timer2", 1, true, TimerPacing::SecondAligned},
    // The countdown must not drift over hours of late timer messages.
    TimerDesc{id::Timer3, L"Timer3", 1000, false, TimerPacing::Paced},
    TimerDesc{id::Timer4, L"Timer4", 1, false, TimerPacing::MinimumWhileHidden},
};

constexpr int kVkBack = 0x08;

constexpr Shortcut ctrl(wchar_t letter, std::wstring_view text) {
    return Shortcut{.virtualKey = letter, .ctrl = true, .text = text};
}

constexpr MenuDesc item(int commandId, std::wstring_view name, std::wstring_view caption,
                        Shortcut shortcut, std::wstring_view parent, bool checked = false) {
    return MenuDesc{.id = commandId,
                    .name = name,
                    .caption = caption,
                    .shortcut = shortcut,
                    .checked = checked,
                    .parent = parent};
}

constexpr MenuDesc separator(std::wstring_view name, std::wstring_view parent) {
    return MenuDesc{.name = name, .separator = true, .parent = parent};
}

constexpr std::wstring_view kMain = L"mnuMain";
constexpr std::wstring_view kTask = L"mnuTask";

constexpr MenuDesc taskItem(TaskAction action) {
    const Task& task = taskOf(action);
    return item(task.menuId, task.menuName, task.menuCaption,
                ctrl(task.shortcutKey, task.shortcutText), kTask, true);
}

// The design checks every task item and mnuLog; loading the form clears all but mnuShutDown.
constexpr std::array kMenus{
    MenuDesc{.name = kMain, .caption = L"&Меню"},
    item(id::mnuActive, L"mnuActive", L"&Активировать", ctrl(L'A', L"Ctrl+A"), kMain),
    item(id::mnuReset, L"mnuReset", L"С&брос",
         Shortcut{.virtualKey = kVkBack, .alt = true, .text = L"Alt+Backspace"}, kMain),
    separator(L"mnuLine0", kMain),
    item(id::mnuTray, L"mnuTray", L"&Скрыть/Показать программу", ctrl(L'T', L"Ctrl+T"), kMain),
    separator(L"mnuLine1", kMain),
    item(id::mnuTopM, L"mnuTopM", L"&Окно поверх всех", ctrl(L'P', L"Ctrl+P"), kMain),
    separator(L"mnuLine2", kMain),
    item(id::mnuExit, L"mnuExit", L"&Выход", ctrl(L'Q', L"Ctrl+Q"), kMain),
    MenuDesc{.name = kTask, .caption = L"&Задачи"},
    taskItem(TaskAction::ShutDown),
    taskItem(TaskAction::Alarm),
    taskItem(TaskAction::Standby),
    taskItem(TaskAction::Reboot),
    taskItem(TaskAction::Hibernate),
    separator(L"mnuLine3", kTask),
    item(id::mnuLog, L"mnuLog", L"Вести запись в &лог", ctrl(L'L', L"Ctrl+L"), kTask, true),
    separator(L"mnuLine4", kTask),
    item(id::mnuBat, L"mnuBat", L"С&генерировать bat-файл", ctrl(L'B', L"Ctrl+B"), kTask),
    item(id::mnuAbout, L"mnuAbout", L"&О программе", Shortcut{}, kTask),
};

constexpr FormDesc kForm{
    .className = L"frmMain",
    .caption = kMainCaption,
    .clientWidth = 5805,
    .clientHeight = 3840,
    .backColour = 0x00000000,
    // 387 x 251 pixels at 15 twips per pixel.
    .pictureWidth = 5805,
    .pictureHeight = 3765,
    .border = BorderStyle::FixedSingle,
    .showInTaskbar = true,
    .controls = kControls,
    .menus = kMenus,
    .timers = kTimers,
};

using FormRoute = Route<frmMain>;
using F = frmMain;

constexpr std::array kRoutes{
    // The bare form and the plain labels on it.
    FormRoute{kFormSource, Event::MouseMove, &F::Form_MouseMove},
    FormRoute{kFormSource, Event::MouseDown, &F::Form_MouseDown},
    FormRoute{id::lblDate, Event::MouseDown, &F::Form_MouseDown},
    FormRoute{id::lblEnter, Event::MouseDown, &F::Form_MouseDown},
    FormRoute{id::lblH, Event::MouseDown, &F::Form_MouseDown},
    FormRoute{id::lblLog, Event::MouseDown, &F::Form_MouseDown},
    FormRoute{id::lblMin, Event::MouseDown, &F::Form_MouseDown},
    FormRoute{id::lblTime, Event::MouseDown, &F::Form_MouseDown},
    // The label buttons.
    FormRoute{id::lblActivate, Event::Click, &F::lblActivate_Click},
    FormRoute{id::lblActivate, Event::MouseMove, &F::lblActivate_MouseMove},
    FormRoute{id::lblReset, Event::Click, &F::lblReset_Click},
    FormRoute{id::lblReset, Event::MouseMove, &F::lblReset_MouseMove},
    // The minutes box.
    FormRoute{id::Combo1, Event::Change, &F::Combo1_Change},
    FormRoute{id::Combo1, Event::KeyDown, &F::Combo1_KeyDown},
    FormRoute{id::Combo1, Event::GotFocus, &F::Combo1_GotFocus},
    FormRoute{id::Combo1, Event::LostFocus, &F::Combo1_LostFocus},
    // The menus.
    FormRoute{id::mnuActive, Event::Menu, &F::mnuActive_Click},
    FormRoute{id::mnuReset, Event::Menu, &F::mnuReset_Click},
    FormRoute{id::mnuTray, Event::Menu, &F::mnuTray_Click},
    FormRoute{id::mnuTopM, Event::Menu, &F::mnuTopM_Click},
    FormRoute{id::mnuExit, Event::Menu, &F::mnuExit_Click},
    FormRoute{id::mnuShutDown, Event::Menu, &F::mnuShutDown_Click},
    FormRoute{id::mnuAlarm, Event::Menu, &F::mnuAlarm_Click},
    FormRoute{id::mnuWait, Event::Menu, &F::mnuWait_Click},
    FormRoute{id::mnuReboot, Event::Menu, &F::mnuReboot_Click},
    FormRoute{id::mnuSleep, Event::Menu, &F::mnuSleep_Click},
    FormRoute{id::mnuLog, Event::Menu, &F::mnuLog_Click},
    FormRoute{id::mnuBat, Event::Menu, &F::mnuBat_Click},
    FormRoute{id::mnuAbout, Event::Menu, &F::mnuAbout_Click},
    // The timers.
    FormRoute{id::Timer1, Event::Timer, &F::Timer1_Timer},
    FormRoute{id::Timer2, Event::Timer, &F::Timer2_Timer},
    FormRoute{id::Timer3, Event::Timer, &F::Timer3_Timer},
    FormRoute{id::Timer4, Event::Timer, &F::Timer4_Timer},
};

} // namespace

const FormDesc& frmMainLayout() {
    return kForm;
}

std::span<const Route<frmMain>> frmMainRoutes() {
    return kRoutes;
}

} // namespace zorvo
