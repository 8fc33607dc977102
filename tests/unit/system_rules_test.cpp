// What the program asks of the system where Windows versions differ (where system libraries come
// from, which of the shell's messages an elevated copy lets in, a window's DPI), and what it
// computes for the system: sizes at a DPI, where a window starts, the tray icon's tip, a failure's
// reason line, the WMI request.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/dpi_math.h"
#include "core/placement.h"
#include "core/shell_messages.h"
#include "core/system_error.h"
#include "core/system_library_load.h"
#include "core/tray_icon_record.h"
#include "core/window_dpi.h"
#include "fakes.h"
#include "power/power_actions.h"

namespace zorvo {
namespace {

/// A loader that answers as a given Windows would and writes down every request.
struct FakeLoader final : LibraryLoader {
    bool searchFlagKnown = true;
    std::vector<std::wstring> present = {L"shcore.dll", L"ole32.dll"};
    std::wstring folder = L"C:\\Windows\\system32";
    std::vector<std::wstring> asked;
    int library = 0; // its address stands for a loaded library

    bool searchFlagsKnown() override { return searchFlagKnown; }
    void* loadFromSystemFolder(const std::wstring& name) override {
        asked.push_back(L"search:" + name);
        // Where the flag is unknown, Windows 7 refuses the call (error 87); nothing is loaded.
        return searchFlagKnown && has(name) ? &library : nullptr;
    }
    void* loadFullPath(const std::wstring& path, bool searchFlags) override {
        asked.push_back((searchFlags ? L"flags:" : L"path:") + path);
        const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L"\\";
        const bool found = has(path.starts_with(prefix) ? path.substr(prefix.size()) : path);
        return found && (searchFlagKnown || !searchFlags) ? &library : nullptr;
    }
    std::wstring systemFolder() override { return folder; }
    bool has(const std::wstring& name) const { return std::ranges::count(present, name) > 0; }
};

TEST(SystemLibraries, TheSearchFlagWhereKnownTheFullSystemPathWhereNotNeverABareName) {
    FakeLoader current;
    EXPECT_EQ(loadSystemLibrary(current, L"shcore.dll"), &current.library);
    EXPECT_EQ(current.asked, std::vector<std::wstring>{L"search:shcore.dll"});

    FakeLoader missing; // the flag worked and found nothing: no second place is tried
    EXPECT_EQ(loadSystemLibrary(missing, L"powrprof.dll"), nullptr);
    EXPECT_EQ(missing.asked, std::vector<std::wstring>{L"search:powrprof.dll"});

    FakeLoader windows7; // without update KB2533623: the flag is not even tried
    windows7.searchFlagKnown = false;
    EXPECT_EQ(loadSystemLibrary(windows7, L"ole32.dll"), &windows7.library);
    EXPECT_EQ(windows7.asked,
              (std::vector<std::wstring>{L"path:C:\\Windows\\system32\\ole32.dll"}));

    FakeLoader root; // a system folder given with its separator gets no second one
    root.searchFlagKnown = false;
    root.folder = L"D:\\";
    EXPECT_EQ(loadSystemLibrary(root, L"shcore.dll"), &root.library);
    EXPECT_EQ(root.asked.back(), L"path:D:\\shcore.dll");

    FakeLoader noFolder; // nowhere safe to look: nothing, rather than the search path
    noFolder.searchFlagKnown = false;
    noFolder.folder.clear();
    EXPECT_EQ(loadSystemLibrary(noFolder, L"shcore.dll"), nullptr);
    EXPECT_EQ(noFolder.asked, std::vector<std::wstring>{});

    // sleep.dll beside the program: its dependencies from its folder and the system folder, by
    // the flags where they are known, else by the altered search order.
    const std::wstring sleep = L"E:\\Zorvo\\sleep.dll";
    for (const bool known : {true, false}) {
        FakeLoader loader;
        loader.searchFlagKnown = known;
        loader.present = {sleep};
        EXPECT_EQ(loadLibraryAt(loader, sleep), &loader.library);
        EXPECT_EQ(loader.asked, std::vector<std::wstring>{(known ? L"flags:" : L"path:") + sleep});
    }
}

struct FakeFilter final : MessageFilter {
    std::vector<unsigned> allowed;
    bool refuse = false;
    bool allow(unsigned message) override {
        allowed.push_back(message);
        return !refuse;
    }
};

TEST(ShellMessages, AnElevatedWindowLetsInTheRestartMessageAndTheIconsCallback) {
    // A message number 0 is no message: it is not let in. A refusal (a low-integrity process)
    // stops nothing else.
    for (const auto& [restart, refuse] :
         {std::pair{0xC0F3U, false}, {0U, false}, {0xC0F3U, true}}) {
        FakeFilter filter;
        filter.refuse = refuse;
        letShellMessagesIn(filter, restart);
        std::vector<unsigned> allowed{TrayIconRecord::kCallbackMessage, restart};
        allowed.resize(restart != 0 ? 2 : 1);
        EXPECT_EQ(filter.allowed, allowed) << restart << " " << refuse;
    }
}

/// A window on a second screen, while the system's DPI is the primary screen's 96; 0 for what
/// this Windows lacks.
struct FakeDpi final : DpiQueries {
    unsigned window, monitor, system = 96;
    FakeDpi(unsigned w, unsigned m) : window(w), monitor(m) {}
    unsigned windowDpi() override { return window; }
    unsigned monitorDpi() override { return monitor; }
    unsigned systemDpi() override { return system; }
};

TEST(WindowDpi, TheWindowsOwnElseItsMonitorsElseTheSystems) {
    // Windows 10, 8.1 and 7: the monitor's is asked only where the window's own is unknown, and
    // is the second screen's, not the primary screen's.
    for (const auto& [window, monitor, dpi] :
         {std::tuple{144U, 120U, 144U}, {0U, 144U, 144U}, {0U, 0U, 96U}}) {
        FakeDpi queries(window, monitor);
        EXPECT_EQ(dpiOfWindow(queries), dpi) << window << " " << monitor;
    }
}

// ---- The notification area's pictures after a change of DPI or a new shell -------------------

TEST(TrayPictures, TheIconShowsThePicturesLoadedForTheNewDpi) {
    fakes::StartedMain h;
    h.pictures.generation = 0x100; // loaded afresh at another DPI
    h.form_.PicturesReloaded();
    EXPECT_EQ(h.tray.last().operation, TrayOperation::Modify);
    EXPECT_EQ(h.tray.last().record.icon, fakes::MainHarness::kFormIcon + 0x100);

    h.click(L"mnuWait");
    h.click(L"lblActivate");
    h.pictures.generation = 0x200; // Explorer restarted at yet another DPI
    h.form_.TaskbarCreated();
    EXPECT_EQ(h.tray.last().operation, TrayOperation::Add);
    EXPECT_EQ(h.tray.last().record.icon,
              fakes::MainHarness::pictureOf(TaskPictures::Holder::imgWait) + 0x200)
        << "the running task's picture, as loaded now";
    EXPECT_EQ(h.tray.last().record.tipText(), L"Zorvo запущен: Ждущий режим") << "tip kept";

    h.click(L"lblReset");
    EXPECT_EQ(h.tray.last().record.icon, fakes::MainHarness::kFormIcon + 0x200);
}

// Halves round away from zero, as MulDiv does (580.5 pixels are 581); a 72-point font is an inch.
TEST(DpiMath, TwipsAndFontsAtTheWindowsDpiRoundingHalvesAwayFromZeroWhateverTheSigns) {
    const std::tuple<int, int, int> pixels[] = {{15, 96, 1},      {5805, 96, 387},
                                                {5805, 144, 581}, {4155, 120, 346},
                                                {0, 192, 0},      {10 * 1440, 96, 960}};
    for (const auto& [twips, dpi, px] : pixels) {
        EXPECT_EQ(twipsToPixels(twips, dpi), px) << twips << " at " << dpi;
    }
    // A zero denominator gives -1; no overflow in the intermediate product.
    const std::tuple<int, int, int, int> divisions[] = {
        {3, 1, 2, 2}, {-3, 1, 2, -2}, {3, 1, -2, -2},
        {1, 1, 3, 0}, {5, 1, 0, -1},  {2'000'000'000, 144, 1440, 200'000'000}};
    for (const auto& [a, b, c, result] : divisions) {
        EXPECT_EQ(mulDiv(a, b, c), result) << a << " " << c;
    }
    const std::tuple<double, int, int> fonts[] = {{9.75, 96, -13},  {9.75, 144, -20},
                                                  {8.25, 120, -14}, {13.5, 96, -18},
                                                  {72, 96, -96},    {72.25, 96, -96}};
    for (const auto& [points, dpi, height] : fonts) {
        EXPECT_EQ(fontHeightForDpi(points, dpi), height) << points << " at " << dpi;
    }
}

TEST(DpiMath, SecondAlignedWaitEndsJustAfterTheNextSecond) {
    EXPECT_EQ(msToNextSecond(0), 1002);
    EXPECT_EQ(msToNextSecond(998), 4);
    EXPECT_EQ(msToNextSecond(999), 3);
    for (const int late : {1002, 1005}) { // a late clock reading: as little wait as can be
        EXPECT_EQ(msToNextSecond(late), 1) << late;
    }
}

// A 1920 × 1080 monitor with a 40-pixel taskbar at the bottom.
const Box kMonitor{0, 0, 1920, 1080};
const Box kWork{0, 0, 1920, 1040};

// The popup is centred on the whole monitor (on a second one to the left of the primary too),
// a dialog on its owner but within the work area, as a window without an owner is.
TEST(Placement, ThePopupOnTheMonitorADialogOnItsOwnerInTheWorkArea) {
    const Box left{-1280, 0, 0, 1024};
    EXPECT_EQ(startOrigin(StartPosition::CentreMonitor, kMonitor, kWork, {}, 277, 206),
              (Origin{821, 437}));
    EXPECT_EQ(startOrigin(StartPosition::CentreMonitor, left, left, {}, 280, 200),
              (Origin{-780, 412}));
    const Box owner{100, 100, 493, 400};
    EXPECT_EQ(startOrigin(StartPosition::CentreOwner, kMonitor, kWork, owner, 235, 232),
              (Origin{179, 134}));
    const Box nearCorner{1800, 980, 2193, 1280};
    EXPECT_EQ(startOrigin(StartPosition::CentreOwner, kMonitor, kWork, nearCorner, 235, 232),
              (Origin{1685, 808}));
    EXPECT_EQ(startOrigin(StartPosition::CentreOwner, kMonitor, kWork, {}, 235, 232),
              (Origin{842, 404}))
        << "without a visible owner: the work area";
    const Box tiny{0, 0, 200, 100}; // larger than its area: its top-left stays on screen
    EXPECT_EQ(startOrigin(StartPosition::CentreScreen, tiny, tiny, {}, 393, 300), (Origin{0, 0}));
}

TEST(TrayIconRecord, TipIsCutAtItsNul) {
    TrayIconRecord r;
    r.setTip(L"Zorvo запущен: Подача звукового сигнала");
    EXPECT_EQ(r.tipField.size(), 48u);
    EXPECT_EQ(r.tipText(), L"Zorvo запущен: Подача звукового сигнала");
    r.setTip(L"Zorvo запущен: Ждущий режим");
    EXPECT_EQ(r.tipText(), L"Zorvo запущен: Ждущий режим") << "a shorter tip leaves no rest";
    for (const std::size_t length : {48u, 60u}) {
        r.setTip(std::wstring(length, L'x'));
        EXPECT_EQ(r.tipText(), std::wstring(47, L'x')) << "the NUL always fits";
        EXPECT_EQ(r.tipField.size(), 48u);
    }
}

TEST(SystemReason, TheLineAddedToAFailure) {
    EXPECT_EQ(withSystemReason(L"Не удалось.", 0, L"Успех.\r\n"), L"Не удалось.");
    EXPECT_EQ(withSystemReason(L"X", 0x8007000EU, L"  Недостаточно\r\nпамяти.\t\r\n\r\n"),
              L"X\r\nПричина: Недостаточно памяти. (код 0x8007000E)");
    EXPECT_EQ(withSystemReason(L"X", 50, L"\r\n"),
              L"X\r\nПричина: система не описала эту ошибку (код 0x00000032)");
}

// What the system needs from the request: the local machine's standard namespace, the caller's
// identity, the privilege to shut down, and the operating system object whose method is called.
TEST(WmiRequest, EachMethodAsksForTheShutdownPrivilegeOnTheLocalOperatingSystem) {
    for (const WmiMethod method : {WmiMethod::ShutDown, WmiMethod::Reboot}) {
        const WmiRequest request = wmiRequestFor(method);
        std::wstring moniker = request.moniker;
        std::erase(moniker, L' '); // blanks between the settings mean nothing
        EXPECT_EQ(moniker,
                  LR"(winmgmts:{impersonationLevel=impersonate,(Shutdown)}!\\.\root\cimv2)");
        EXPECT_EQ(std::wstring(request.query), L"Select * from Win32_OperatingSystem");
        EXPECT_EQ(request.method,
                  std::wstring(method == WmiMethod::ShutDown ? L"ShutDown" : L"Reboot"));
    }
}

} // namespace
} // namespace zorvo
