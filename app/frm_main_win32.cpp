#include "app/frm_main_win32.h"

#include "app/frm_main_layout.h"
#include "core/shell_messages.h"
#include "core/system_library_win32.h"
#include "resources/resource_ids.h"
#include "ui/combo_box_win32.h"
#include "ui/dpi_win32.h"
#include "ui/guard_win32.h"
#include "ui/label_win32.h"
#include "ui/menu_win32.h"
#include "ui/message_loop_win32.h"
#include "ui/timer_win32.h"

namespace zorvo {

namespace {

namespace id = frm_main_id;

/// Posted after the first showing; delivers the first activation if the system gave none.
constexpr UINT kFirstActivation = WM_APP + 1;
/// Posted by the alarm's player after the melody's last note.
constexpr UINT kMelodyFinished = WM_APP + 2;

ui::FormOptions mainOptions(HINSTANCE instance, HICON bigIcon, HICON smallIcon) {
    ui::FormOptions options;
    options.instance = instance;
    options.bigIcon = bigIcon;
    options.smallIcon = smallIcon;
    options.backgroundBitmap = IDB_BACKGROUND;
    options.startPosition = StartPosition::CentreScreen;
    return options;
}

/// The window's own filter for messages from less privileged processes (Windows 7 and later).
class WindowMessageFilter final : public MessageFilter {
public:
    explicit WindowMessageFilter(HWND window) : window_(window) {}
    bool allow(unsigned message) override {
        return ChangeWindowMessageFilterEx(window_, message, MSGFLT_ALLOW, nullptr) != FALSE;
    }

private:
    HWND window_;
};

} // namespace

FrmMainWindow::FrmMainWindow(HINSTANCE instance, Win32Process& process)
    : instance_(instance), process_(process),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")), power_(process_.programFolder()),
      popup_(instance),
      dialogs_(instance, BatServices{messages_, locale_, process_, files_, shortPathName}),
      formIcon_(ui::loadIconForDpi(instance, IDI_ZORVO, SM_CXSMICON, ui::systemDpi())),
      classBigIcon_(ui::loadIconForDpi(instance, IDI_ZORVO, SM_CXICON, ui::systemDpi())),
      pictures_(instance, formIcon_.get()),
      window_(frmMainLayout(), *this, mainOptions(instance, classBigIcon_.get(), formIcon_.get())) {
    if (window_.dpi() != ui::systemDpi()) {
        setWindowIcons(window_.dpi());
    }
    const HWND hwnd = window_.hwnd();
    dialogs_.setOwner(hwnd);
    melody_.setWindow(hwnd, kMelodyFinished);
    WindowMessageFilter filter(hwnd);
    letShellMessagesIn(filter, taskbarCreated_);
    ui::setUntrappedErrorCleanup([hwnd] { removeTrayIcon(hwnd); });

    const MainControls controls{
        .form = window_,
        .lblEnter = window_.label(id::lblEnter),
        .lblLog = window_.label(id::lblLog),
        .Combo1 = window_.comboBox(id::Combo1),
        .lblMin = window_.label(id::lblMin),
        .lblH = window_.label(id::lblH),
        .lblDate = window_.label(id::lblDate),
        .lblTime = window_.label(id::lblTime),
        .lblActivate = window_.label(id::lblActivate),
        .lblReset = window_.label(id::lblReset),
        .mnuActive = window_.menuItem(id::mnuActive),
        .mnuReset = window_.menuItem(id::mnuReset),
        .mnuTopM = window_.menuItem(id::mnuTopM),
        .mnuShutDown = window_.menuItem(id::mnuShutDown),
        .mnuAlarm = window_.menuItem(id::mnuAlarm),
        .mnuWait = window_.menuItem(id::mnuWait),
        .mnuReboot = window_.menuItem(id::mnuReboot),
        .mnuSleep = window_.menuItem(id::mnuSleep),
        .mnuLog = window_.menuItem(id::mnuLog),
        .Timer1 = window_.timer(id::Timer1),
        .Timer2 = window_.timer(id::Timer2),
        .Timer3 = window_.timer(id::Timer3),
        .Timer4 = window_.timer(id::Timer4),
        .pictures = pictures_,
        .windowHandle = reinterpret_cast<std::uintptr_t>(hwnd),
    };
    const MainServices services{
        .messages = messages_,
        .tray = tray_,
        .clock = clock_,
        .keyboard = keyboard_,
        .files = files_,
        .process = process_,
        .locale = locale_,
        .power = power_,
        .actions = actions_,
        .popup = popup_,
        .dialogs = dialogs_,
        .capabilities = capabilities_,
        .errorTexts = errorTexts_,
        .melody = melody_,
        .shutdownWait = shutdownWait_,
    };
    logic_ = std::make_unique<frmMain>(controls, services);
}

FrmMainWindow::~FrmMainWindow() {
    ui::setUntrappedErrorCleanup(nullptr);
}

void FrmMainWindow::setWindowIcons(UINT dpi) {
    unique_hicon big(ui::loadIconForDpi(instance_, IDI_ZORVO, SM_CXICON, dpi));
    unique_hicon small(ui::loadIconForDpi(instance_, IDI_ZORVO, SM_CXSMICON, dpi));
    SendMessageW(window_.hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(window_.hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

void FrmMainWindow::ShutdownWaitTimer::setEnabled(bool on) {
    if (on == enabled_ || window_.hwnd() == nullptr) {
        return;
    }
    // A one-shot wait: the logic stops the timer at its first tick. SetTimer fails only when the
    // system is out of resources; the program then waits for the session's end or a close.
    enabled_ = on;
    if (on) {
        SetTimer(window_.hwnd(), kId, static_cast<UINT>(interval()), nullptr);
    } else {
        KillTimer(window_.hwnd(), kId);
    }
}

void FrmMainWindow::removeTrayIcon(HWND window) noexcept {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = TrayIconRecord::kIdentifier;
    shellNotifyIcon(NIM_DELETE, &data);
}

int FrmMainWindow::run(int showCommand) {
    tray_.holdBack();
    logic_->Form_Load();
    window_.startDesignTimers();
    ui::setMainWindow(window_.hwnd(), window_.accelerators());
    const bool minimized = showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE ||
                           showCommand == SW_SHOWMINNOACTIVE;
    ShowWindow(window_.hwnd(), minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    UpdateWindow(window_.hwnd());
    tray_.release();
    PostMessageW(window_.hwnd(), kFirstActivation, 0, 0);
    const int exitCode = ui::runMessageLoop();
    ui::setMainWindow(nullptr, nullptr);
    return exitCode;
}

// ---- Events ------------------------------------------------------------------------------------

void FrmMainWindow::formEvent(int source, Event event, KeyArgs keys) {
    if (logic_) {
        dispatch(frmMainRoutes(), *logic_, source, event, keys);
    }
}

void FrmMainWindow::activated(bool active) {
    if (!logic_ || !firstActivationDone_) {
        // Until the first activation has been delivered from the queue, the system's own
        // activations and deactivations are not the logic's business.
        return;
    }
    if (active) {
        logic_->Form_Activate();
    } else {
        logic_->Form_Deactivate();
    }
}

bool FrmMainWindow::isTrayCallback(WPARAM wParam, LPARAM lParam) const {
    // The icon's messages share the number of WM_MOUSEMOVE: wParam is the icon's identifier and
    // lParam the mouse message. A real move with the left button down looks the same only when
    // the pointer really is at that spot on the top row.
    if (wParam != TrayIconRecord::kIdentifier || HIWORD(lParam) != 0) {
        return false;
    }
    const UINT mouseMessage = LOWORD(lParam);
    if (mouseMessage < WM_MOUSEFIRST || mouseMessage > WM_MOUSELAST) {
        return false;
    }
    POINT cursor;
    if (!GetCursorPos(&cursor) || !ScreenToClient(window_.hwnd(), &cursor)) {
        return true;
    }
    return !(cursor.x == static_cast<LONG>(mouseMessage) && cursor.y == 0);
}

bool FrmMainWindow::formMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!logic_) {
        return false;
    }
    result = 0;
    switch (message) {
    case WM_MOUSEMOVE:
        if (isTrayCallback(wParam, lParam)) {
            logic_->TrayIcon_Message(static_cast<int>(LOWORD(lParam)));
        } else {
            formEvent(kFormSource, Event::MouseMove, {});
        }
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        formEvent(kFormSource, Event::MouseDown, {});
        return true;
    case kFirstActivation:
        if (!firstActivationDone_) {
            firstActivationDone_ = true;
            logic_->Form_Activate();
        }
        return true;
    case kMelodyFinished:
        logic_->MelodyFinished();
        return true;
    case WM_CLOSE:
        // The close box, "Выход", the end of a task: unload, then the window goes, and the
        // program with it.
        logic_->Form_Unload();
        window_.destroy();
        return true;
    case WM_DESTROY:
        PostQuitMessage(0);
        return false;
    case WM_QUERYENDSESSION:
        // Never stand in the way of a shutdown, least of all the one this program asked for.
        logic_->QueryEndSession();
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        // Handled before returning: the system may end the process without a word afterwards.
        logic_->EndSession(wParam != FALSE);
        return true;
    case WM_TIMER:
        if (wParam != ShutdownWaitTimer::kId) {
            return false; // the design's timers
        }
        logic_->ShutdownWait_Timer();
        return true;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMPOWERSTATUSCHANGE) {
            actions_.powerSourceChanged();
        }
        result = TRUE;
        return true;
    case WM_DPICHANGED:
        setWindowIcons(LOWORD(wParam));
        // The user changed the scaling, perhaps of the notification area's screen too.
        if (pictures_.reloadForDpi(ui::trayDpi())) {
            logic_->PicturesReloaded();
        }
        return false; // the form rescales itself
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            // A new shell may come with another scaling.
            pictures_.reloadForDpi(ui::trayDpi());
            logic_->TaskbarCreated();
            return true;
        }
        return false;
    }
}

} // namespace zorvo
