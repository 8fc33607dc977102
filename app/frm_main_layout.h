#pragma once
// frmMain's design: window, controls, picture holders, timers and menus, with the control and
// command IDs that outside tools rely on.

#include <span>

#include "core/form_layout.h"
#include "core/tasks.h"

namespace zorvo::frm_main_id {

// Child windows.
inline constexpr int lblEnter = 1001;
inline constexpr int lblLog = 1002;
inline constexpr int Combo1 = 1003;
inline constexpr int lblMin = 1004;
inline constexpr int lblH = 1005;
inline constexpr int lblDate = 1006;
inline constexpr int lblTime = 1007;
inline constexpr int lblActivate = 1008;
inline constexpr int lblReset = 1009;

// Menu commands.
inline constexpr int mnuActive = 2001;
inline constexpr int mnuReset = 2002;
inline constexpr int mnuTray = 2003;
inline constexpr int mnuTopM = 2004;
inline constexpr int mnuExit = 2005;
inline constexpr int mnuShutDown = taskOf(TaskAction::ShutDown).menuId;
inline constexpr int mnuAlarm = taskOf(TaskAction::Alarm).menuId;
inline constexpr int mnuWait = taskOf(TaskAction::Standby).menuId;
inline constexpr int mnuReboot = taskOf(TaskAction::Reboot).menuId;
inline constexpr int mnuSleep = taskOf(TaskAction::Hibernate).menuId;
inline constexpr int mnuLog = 2016;
inline constexpr int mnuBat = 2017;
inline constexpr int mnuAbout = 2018;

// Timers.
inline constexpr int Timer1 = 1;
inline constexpr int Timer2 = 2;
inline constexpr int Timer3 = 3;
inline constexpr int Timer4 = 4;

} // namespace zorvo::frm_main_id

namespace zorvo {

class frmMain;

const FormDesc& frmMainLayout();
/// Which handler of frmMain each event of the design runs.
std::span<const Route<frmMain>> frmMainRoutes();

} // namespace zorvo
