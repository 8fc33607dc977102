#pragma once
// The main window's logic: every handler of frmMain, written against the control and service
// interfaces so that it runs the same on real windows and on test fakes.

#include <cstdint>
#include <string>

#include "core/controls.h"
#include "core/minutes_rule.h"
#include "core/power_library.h"
#include "core/product.h"
#include "core/services.h"
#include "core/system_error.h"
#include "core/tasks.h"
#include "core/tray_icon_record.h"
#include "dialogs/popup.h"
#include "power/melody.h"
#include "power/power_actions.h"
#include "power/power_capabilities.h"

namespace zorvo {

/// The pictures of frmMain's hidden picture holders, which the notification area shows for the
/// chosen task once the timer runs. Asked for only then, so that a window may load them at the
/// first asking instead of before it is first shown. Asked for again after a change of the
/// screen's DPI, when the window has them loaded afresh at the new size.
class TaskPictures {
public:
    using Holder = TaskPicture;
    virtual ~TaskPictures() = default;
    virtual IconHandle picture(Holder holder) = 0;
    /// The window's own icon, which the notification area shows while no task runs.
    virtual IconHandle formIcon() = 0;
};

/// The controls of frmMain, by their names.
struct MainControls {
    Form& form;
    Label& lblEnter;
    Label& lblLog;
    ComboBox& Combo1;
    Label& lblMin;
    Label& lblH;
    Label& lblDate;
    Label& lblTime;
    Label& lblActivate;
    Label& lblReset;
    MenuItem& mnuActive;
    MenuItem& mnuReset;
    MenuItem& mnuTopM;
    MenuItem& mnuShutDown;
    MenuItem& mnuAlarm;
    MenuItem& mnuWait;
    MenuItem& mnuReboot;
    MenuItem& mnuSleep;
    MenuItem& mnuLog;
    Timer& Timer1;
    Timer& Timer2;
    Timer& Timer3;
    Timer& Timer4;
    /// The window's own icon and the pictures of the hidden picture holders.
    TaskPictures& pictures;
    /// The window's handle, for the tray record.
    std::uintptr_t windowHandle;
};

/// The modal dialogs that the task menu opens.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    virtual void showBatDialog() = 0;
    virtual void showAboutDialog() = 0;
};

struct MainServices {
    MessageBoxService& messages;
    TrayService& tray;
    ClockService& clock;
    KeyboardService& keyboard;
    FileService& files;
    ProcessService& process;
    LocaleService& locale;
    PowerLibrary& power;
    PowerActions& actions;
    Popup& popup;
    DialogHost& dialogs;
    /// Asked before a countdown to standby or hibernation starts.
    PowerCapabilitiesService& capabilities;
    /// The system's words for the error of a task that failed at the end.
    SystemErrorTexts& errorTexts;
    MelodyPlayer& melody;
};

class frmMain {
public:
    frmMain(const MainControls& controls, const MainServices& services);

    // Start-up and the command line.
    /// Turns the design into the start state; the start conditions have been checked before.
    void Form_Load();
    void Form_Activate();
    void Form_Deactivate();

    // Task selection, activation and reset.
    void mnuShutDown_Click();
    void mnuAlarm_Click();
    void mnuWait_Click();
    void mnuReboot_Click();
    void mnuSleep_Click();
    void lblActivate_Click();
    void mnuActive_Click();
    void mnuReset_Click();
    void lblReset_Click();
    void lblActivate_MouseMove();
    void lblReset_MouseMove();

    // The countdown and the log.
    void Timer3_Timer();
    void mnuLog_Click();
    /// The alarm melody has played its last note.
    void MelodyFinished();

    // Minutes entry, hours display, clock, show hot key.
    void Combo1_Change();
    void Combo1_KeyDown(int keyCode, int shift);
    void Combo1_GotFocus();
    void Combo1_LostFocus();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer4_Timer();

    // Tray icon and window behaviour.
    /// A pointer movement over the bare form.
    void Form_MouseMove();
    /// A message of the notification-area icon; `mouseMessage` is the mouse message number.
    void TrayIcon_Message(int mouseMessage);
    /// The shell was restarted and lost the icon.
    void TaskbarCreated();
    /// The pictures were loaded afresh for another DPI: the icon shows the new ones.
    void PicturesReloaded();
    void mnuTray_Click();
    void mnuTopM_Click();
    /// A button press on the bare form or on a plain label.
    void Form_MouseDown();
    void mnuExit_Click();
    void Form_Unload();
    void mnuBat_Click();
    void mnuAbout_Click();

    std::int16_t RemainingMinutes = 0;
    std::int16_t RemainingSeconds = 0;
    std::int16_t DeactivationCount = 0;
    std::int16_t MinutesRemainder = 0;
    std::int16_t HiddenTickCount = 0;
    TrayIconRecord TrayIcon;

private:
    void WriteLog(const std::wstring& eventText);
    /// The task's item of the task menu.
    MenuItem& itemOf(const Task& task) const;
    /// The task whose menu item is checked (the form's load leaves one checked).
    const Task* checkedTask() const;
    void selectTask(const Task& task);
    void modifyIcon(const wchar_t* tip, IconHandle icon);
    /// The picture the icon shows now: the task's while one is activated, else the form's.
    IconHandle trayPicture();
    void performTask();
    void performWmi(WmiMethod method, const wchar_t* failure, const wchar_t* logText);
    void performLibraryCall(std::int32_t (PowerLibrary::*call)(), const wchar_t* failure,
                            const wchar_t* logText);
    /// Writes the log entry when logging is on; returns the failure to report, if any.
    std::wstring logIfOn(const wchar_t* eventText);
    /// Why the system cannot do `task` here (None for the tasks it is never asked).
    SleepRefusal refusalFor(const Task& task);
    /// False, after telling the user why in a shown window, when the checked task is one the
    /// computer cannot do.
    bool taskPossibleHere();

    MainControls c_;
    MainServices s_;
    MinutesRule minutes_;
    /// Window mode 4 deleted the icon; a restart of the shell must not bring it back.
    bool iconRemoved_ = false;
    /// The command line has been applied; it never is a second time.
    bool commandLineApplied_ = false;
    /// The alarm is sounding: the task is under way and is not started again.
    bool melodyPlaying_ = false;
};

} // namespace zorvo
