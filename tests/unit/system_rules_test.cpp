// What the program asks of the system where Windows versions differ: where system libraries come
// from, and which of the shell's messages an elevated copy lets in.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/shell_messages.h"
#include "core/system_library_load.h"
#include "core/tray_icon_record.h"
#include "core/window_dpi.h"
#include "fakes.h"

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
        if (searchFlags && !searchFlagKnown) {
            return nullptr;
        }
        const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L"\\";
        return has(path.starts_with(prefix) ? path.substr(prefix.size()) : path) ? &library
                                                                                 : nullptr;
    }
    std::wstring systemFolder() override { return folder; }
    bool has(const std::wstring& name) const {
        for (const std::wstring& p : present) {
            if (p == name) {
                return true;
            }
        }
        return false;
    }
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
    FakeFilter filter;
    letShellMessagesIn(filter, 0xC0F3);
    EXPECT_EQ(filter.allowed, (std::vector<unsigned>{TrayIconRecord::kCallbackMessage, 0xC0F3}));

    FakeFilter unregistered; // a message number 0 is no message: it is not let in
    letShellMessagesIn(unregistered, 0);
    EXPECT_EQ(unregistered.allowed, std::vector<unsigned>{TrayIconRecord::kCallbackMessage});

    FakeFilter refusing; // a refusal (a low-integrity process) stops nothing else
    refusing.refuse = true;
    letShellMessagesIn(refusing, 0xC0F3);
    EXPECT_EQ(refusing.allowed.size(), 2u);
}

/// A window at 144 dpi on a second screen, while the system's DPI is the primary screen's 96; 0
/// for what this Windows lacks.
struct FakeDpi final : DpiQueries {
    unsigned window = 144, monitor = 144, system = 96;
    unsigned windowDpi() override { return window; }
    unsigned monitorDpi() override { return monitor; }
    unsigned systemDpi() override { return system; }
};

TEST(WindowDpi, TheWindowsOwnElseItsMonitorsElseTheSystems) {
    FakeDpi windows10;
    windows10.monitor = 120; // asked only where the window's own is unknown
    EXPECT_EQ(dpiOfWindow(windows10), 144u);
    FakeDpi windows81;
    windows81.window = 0;
    EXPECT_EQ(dpiOfWindow(windows81), 144u) << "the monitor's, not the primary screen's";
    FakeDpi windows7;
    windows7.window = windows7.monitor = 0;
    EXPECT_EQ(dpiOfWindow(windows7), 96u);
}

// ---- The notification area's pictures after a change of DPI or a new shell -------------------

TEST(TrayPictures, TheIconShowsThePicturesLoadedForTheNewDpi) {
    fakes::MainHarness h;
    h.start();
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

} // namespace
} // namespace zorvo
