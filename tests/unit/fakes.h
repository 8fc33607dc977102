#pragma once
// Plain fakes of the control and service interfaces. They behave as the real controls do where a
// handler could tell the difference (setText puts the caret at the start, selection lengths are
// clamped to the text), and record what the services were asked, in one shared journal when the
// order matters.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "app/frm_main_layout.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"
#include "table_encoder.h"

namespace zorvo {

/// A control of a design by name, which only the tests need: the program itself goes by IDs.
inline const ControlDesc& control(const FormDesc& form, std::wstring_view name) {
    const auto it = std::ranges::find(form.controls, name, &ControlDesc::name);
    return it != form.controls.end() ? *it : throw std::logic_error("no control in the design");
}

} // namespace zorvo

namespace zorvo::fakes {

using Journal = std::vector<std::string>;

template <class Interface> struct FakeControl : Interface {
    bool visible_ = true, enabled_ = true;
    bool visible() const override { return visible_; }
    void setVisible(bool on) override { visible_ = on; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool on) override { enabled_ = on; }
};

/// A fake that writes what it was asked into the journal the harness shares.
template <class Interface> struct Journaled : Interface {
    Journal& journal;
    explicit Journaled(Journal& j) : journal(j) {}
};

struct FakeLabel final : FakeControl<Label> {
    std::wstring caption_;
    Colour fore_ = 0, back_ = 0;
    bool border_ = false;
    std::wstring caption() const override { return caption_; }
    void setCaption(const std::wstring& text) override { caption_ = text; }
    Colour foreColour() const override { return fore_; }
    void setForeColour(Colour c) override { fore_ = c; }
    Colour backColour() const override { return back_; }
    void setBackColour(Colour c) override { back_ = c; }
    bool border() const override { return border_; }
    void setBorder(bool on) override { border_ = on; }
};

struct FakeComboBox final : FakeControl<ComboBox> {
    std::wstring text_;
    int selStart_ = 0, selLength_ = 0;
    std::vector<std::wstring> items_;

    std::wstring text() const override { return text_; }
    void setText(const std::wstring& text) override {
        text_ = text;
        selStart_ = 0;
        selLength_ = 0;
    }
    int selStart() const override { return selStart_; }
    void setSelLength(int length) override {
        selLength_ = std::min(length, this->length() - selStart_);
    }
    void addItem(const std::wstring& item) override { items_.push_back(item); }
    int itemCount() const override { return static_cast<int>(items_.size()); }
    std::wstring item(int index) const override {
        return items_.at(static_cast<std::size_t>(index));
    }
    void setListIndex(int index) override { text_ = items_.at(static_cast<std::size_t>(index)); }

    /// Types one character at the caret as a keyboard would, replacing the selection; backspace
    /// is 8. Returns true when the text changed (the box then raises its change event).
    bool type(wchar_t ch) {
        const std::wstring before = text_;
        if (ch == 8 && selLength_ == 0 && selStart_ > 0) { // without a selection: the one before
            --selStart_;
            selLength_ = 1;
        }
        text_.replace(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_),
                      ch == 8 ? 0 : 1, ch);
        selStart_ += ch == 8 ? 0 : 1;
        selLength_ = 0;
        return text_ != before;
    }
    int length() const { return static_cast<int>(text_.size()); }
};

struct FakeMenuItem final : MenuItem {
    bool checked_ = false, enabled_ = true;
    bool checked() const override { return checked_; }
    void setChecked(bool on) override { checked_ = on; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool on) override { enabled_ = on; }
};

struct FakeTimer final : Timer {
    bool enabled_ = false;
    int interval_ = 0;
    bool enabled() const override { return enabled_; }
    void setEnabled(bool on) override { enabled_ = on; }
    int interval() const override { return interval_; }
};

struct FakeForm final : Journaled<Form> {
    using Journaled::Journaled;
    std::wstring caption_ = kMainCaption;
    bool visible_ = true;
    WindowState state_ = WindowState::Normal;
    bool inTaskbar = true, topMost = false, closed = false;
    int topMostCalls = 0, drags = 0;
    std::function<void()> onClose;

    std::wstring caption() const override { return caption_; }
    void setCaption(const std::wstring& text) override { caption_ = text; }
    bool visible() const override { return visible_; }
    void setVisible(bool on) override { visible_ = on; }
    WindowState windowState() const { return state_; }
    void setWindowState(WindowState s) override { state_ = s; }
    void show() override { visible_ = true; }
    void setShowInTaskbar(bool on) override { inTaskbar = on; }
    void setTopMost(bool on) override {
        topMost = on;
        ++topMostCalls;
    }
    void beginDrag() override { ++drags; }
    void close() override {
        journal.push_back("close");
        closed = true;
        if (onClose) {
            onClose();
        }
    }
};

struct FakeMessages final : Journaled<MessageBoxService> {
    using Journaled::Journaled;
    std::vector<std::wstring> shown;
    std::function<void()> whileOpen;
    std::vector<std::wstring> asked;
    bool answerYes = false;
    void show(const std::wstring& text) override {
        shown.push_back(text);
        journal.push_back("message");
        if (whileOpen) {
            whileOpen();
        }
    }
    bool askYesNo(const std::wstring& text) override {
        asked.push_back(text);
        journal.push_back(answerYes ? "asked-yes" : "asked-no");
        return answerYes;
    }
};

struct FakeTray final : TrayService {
    struct Call {
        TrayOperation operation;
        TrayIconRecord record;
    };
    std::vector<Call> calls;
    void notify(TrayOperation operation, const TrayIconRecord& record) override {
        calls.push_back({operation, record});
    }
    /// The latest call; throws (and so fails the test cleanly) when there was none.
    const Call& last() const { return calls.at(calls.size() - 1); }
};

struct FakeClock final : ClockService {
    std::wstring date = L"07.12.2026";
    std::wstring time = L"1:02:03";
    std::wstring shortDateText() override { return date; }
    std::wstring timeText() override { return time; }
};

struct FakeKeyboard final : KeyboardService {
    std::map<int, std::uint16_t> keys;
    std::uint16_t asyncKeyState(int vk) override { return keys.count(vk) ? keys[vk] : 0; }
};

struct FakeFiles final : Journaled<FileService> {
    using Journaled::Journaled;
    std::map<std::wstring, std::string> files;
    std::map<std::wstring, OpenResult> openResults;
    bool failWrites = false;
    bool unreadable = false;
    FileHead readHead(const std::wstring& name, std::size_t limit) override {
        const auto it = files.find(name);
        if (unreadable || it == files.end()) {
            return {unreadable ? FileHead::Status::Unreadable : FileHead::Status::Missing, {}};
        }
        return {FileHead::Status::Read, it->second.substr(0, limit)};
    }
    OpenResult tryOpenForReading(const std::wstring& path) override {
        auto it = openResults.find(path);
        return it == openResults.end() ? OpenResult::Opened : it->second;
    }
    void append(const std::wstring& name, const std::string& bytes) override {
        journal.push_back("log");
        write(name) += bytes;
    }
    void replace(const std::wstring& name, const std::string& bytes) override {
        write(name) = bytes;
    }
    std::string& write(const std::wstring& name) {
        return failWrites ? throw FileError(L"Не удалось записать файл " + name) : files[name];
    }
};

struct FakeProcess final : ProcessService {
    std::wstring folder = L"C:\\Tools";
    std::wstring exe = L"zorvo";
    bool another = false;
    std::wstring programFolder() override { return folder; }
    std::wstring exeName() override { return exe; }
    bool anotherInstanceRunning() override { return another; }
};

struct FakeLocale final : LocaleService {
    wchar_t separator = L',';
    text::TableEncoder ansiEncoder{text::CodePage::Windows1251};
    text::TableEncoder oemEncoder{text::CodePage::Oem866};
    wchar_t decimalSeparator() override { return separator; }
    const text::Encoder& ansi() override { return ansiEncoder; }
    const text::Encoder& oem() override { return oemEncoder; }
};

struct FakePowerLibrary final : Journaled<PowerLibrary> {
    using Journaled::Journaled;
    std::int32_t delay = 1, task = 1, view = 1, result = 1;
    std::int32_t PTime() override { return delay; }
    std::int32_t GetParam() override { return task; }
    std::int32_t GetView() override { return view; }
    std::int32_t NTWait() override { return journal.push_back("NTWait"), result; }
    std::int32_t NTSleep() override { return journal.push_back("NTSleep"), result; }
    std::uint32_t error = 0;
    std::uint32_t lastError() override { return error; }
};

/// Answers as Wine does unless a test says otherwise.
struct FakeCapabilities final : PowerCapabilitiesService {
    std::optional<PowerCapabilities> answer = PowerCapabilities{true, false, false, true, true};
    std::optional<PowerCapabilities> query() override { return answer; }
};

struct FakeErrorTexts final : SystemErrorTexts {
    std::map<std::uint32_t, std::wstring> texts;
    std::wstring describe(std::uint32_t code) override {
        auto it = texts.find(code);
        return it == texts.end() ? std::wstring() : it->second;
    }
};

struct FakeActions final : Journaled<PowerActions> {
    using Journaled::Journaled;
    ActionResult wmiResult;
    bool awake = false;
    ActionResult runWmi(WmiMethod method) override {
        journal.push_back(method == WmiMethod::ShutDown ? "ShutDown" : "Reboot");
        return wmiResult;
    }
    void keepAwake(bool on) override {
        awake = on;
        journal.push_back(on ? "awake" : "asleep-ok");
    }
};

/// Sound that takes no time: each note is written down, a silence with frequency 0.
struct RecordedTones final : ToneOutput {
    std::vector<Note> notes;
    void tone(std::uint32_t hz, std::uint32_t ms) override { notes.push_back({hz, ms}); }
    void silence(std::uint32_t ms) override { notes.push_back({0, ms}); }
};

/// The alarm's player: it plays the melody at once onto `tones` and leaves the end to be
/// delivered by the test (MainHarness::endMelody), as the window's queue would.
struct FakeMelody final : Journaled<MelodyPlayer> {
    using Journaled::Journaled;
    RecordedTones tones;
    bool playing = false;
    void start() override {
        journal.push_back("melody");
        playing = true;
        std::atomic<bool> never{false};
        playMelody(kAlarmMelody, tones, never);
    }
    void stop() override { playing = false; }
};

struct FakePopup final : Popup {
    bool visible_ = false;
    std::wstring label = L"Label1";
    void setLabelCaption(const std::wstring& text) override { label = text; }
    bool visible() const override { return visible_; }
    void hide() override { visible_ = false; }
    void show() override { visible_ = true; }
};

struct FakeDialogs final : Journaled<DialogHost> {
    using Journaled::Journaled;
    std::function<void()> whileAboutOpen;
    void showBatDialog() override { journal.push_back("bat"); }
    void showAboutDialog() override {
        journal.push_back("about");
        if (whileAboutOpen) {
            whileAboutOpen();
        }
    }
};

/// A label as the front end makes it from its design.
inline void fromDesign(FakeLabel& label, const ControlDesc& desc) {
    label.caption_ = desc.caption;
    label.fore_ = desc.foreColour;
    label.back_ = desc.backColour.value_or(0);
    label.visible_ = desc.visible;
}

/// Sends an event of the control, menu command or timer named `name` (empty: the bare form)
/// through the form's own table of routes, as the front end does.
template <class Logic>
void send(const FormDesc& design, std::span<const Route<Logic>> routes, Logic& logic,
          std::wstring_view name, Event event, KeyArgs keys = {}) {
    int id = kFormSource;
    const auto lookUp = [&](const auto& list) {
        for (const auto& desc : list) {
            id = desc.name == name ? desc.id : id;
        }
    };
    lookUp(design.controls);
    lookUp(design.menus);
    lookUp(design.timers);
    if ((id == kFormSource && !name.empty()) || !dispatch<Logic>(routes, logic, id, event, keys)) {
        throw std::logic_error("no route for this event");
    }
}

/// frmMain on fakes, each control in the state the Win32 front end gives it: the one its design
/// says, so that a test of the start state sees the design and Form_Load, not the harness.
struct MainHarness {
    Journal journal;
    FakeForm form{journal};
    FakeLabel lblEnter, lblLog, lblMin, lblH, lblDate, lblTime, lblActivate, lblReset;
    FakeComboBox Combo1;
    FakeMenuItem mnuActive, mnuReset, mnuTopM, mnuShutDown, mnuAlarm, mnuWait, mnuReboot, mnuSleep,
        mnuLog;
    FakeTimer Timer1, Timer2, Timer3, Timer4, shutdownWait;
    FakeMessages messages{journal};
    FakeTray tray;
    FakeClock clock;
    FakeKeyboard keyboard;
    FakeFiles files{journal};
    FakeProcess process;
    FakeLocale locale;
    FakePowerLibrary power{journal};
    FakeActions actions{journal};
    FakePopup popup;
    FakeDialogs dialogs{journal};
    FakeCapabilities capabilities;
    FakeErrorTexts errorTexts;
    FakeMelody melody{journal};
    /// Each holder's picture is kFirstPicture plus the holder's number; `generation` is added to
    /// every handle, so that a reload at another DPI gives new ones.
    struct FakePictures final : TaskPictures {
        IconHandle generation = 0;
        IconHandle picture(Holder holder) override {
            return kFirstPicture + static_cast<IconHandle>(holder) + generation;
        }
        IconHandle formIcon() override { return kFormIcon + generation; }
    } pictures;
    frmMain form_{
        MainControls{form,     lblEnter,    lblLog,    Combo1,    lblMin,   lblH,    lblDate,
                     lblTime,  lblActivate, lblReset,  mnuActive, mnuReset, mnuTopM, mnuShutDown,
                     mnuAlarm, mnuWait,     mnuReboot, mnuSleep,  mnuLog,   Timer1,  Timer2,
                     Timer3,   Timer4,      pictures,  kWindow},
        MainServices{messages, tray, clock, keyboard, files, process, locale, power, actions, popup,
                     dialogs, capabilities, errorTexts, melody, shutdownWait}};

    static constexpr IconHandle kFormIcon = 0x1001, kFirstPicture = 0x1002;
    static constexpr std::uintptr_t kWindow = 0x00A0B0C0;
    static IconHandle pictureOf(TaskPictures::Holder holder) {
        return kFirstPicture + static_cast<IconHandle>(holder);
    }

    /// Gives every control what the design says, as the front end does when it makes them.
    MainHarness() {
        const FormDesc& design = frmMainLayout();
        form.caption_ = design.caption;
        const std::pair<std::wstring_view, FakeLabel*> labels[] = {
            {L"lblEnter", &lblEnter},       {L"lblLog", &lblLog},
            {L"lblMin", &lblMin},           {L"lblH", &lblH},
            {L"lblDate", &lblDate},         {L"lblTime", &lblTime},
            {L"lblActivate", &lblActivate}, {L"lblReset", &lblReset}};
        const std::pair<std::wstring_view, FakeMenuItem*> items[] = {
            {L"mnuActive", &mnuActive},     {L"mnuReset", &mnuReset}, {L"mnuTopM", &mnuTopM},
            {L"mnuShutDown", &mnuShutDown}, {L"mnuAlarm", &mnuAlarm}, {L"mnuWait", &mnuWait},
            {L"mnuReboot", &mnuReboot},     {L"mnuSleep", &mnuSleep}, {L"mnuLog", &mnuLog}};
        const std::pair<std::wstring_view, FakeTimer*> timers[] = {
            {L"Timer1", &Timer1}, {L"Timer2", &Timer2}, {L"Timer3", &Timer3}, {L"Timer4", &Timer4}};
        for (auto [name, label] : labels) {
            fromDesign(*label, control(design, name));
        }
        Combo1.text_ = control(design, L"Combo1").caption;
        Combo1.visible_ = control(design, L"Combo1").visible;
        for (auto [name, item] : items) {
            const MenuDesc& desc = *std::ranges::find(design.menus, name, &MenuDesc::name);
            item->checked_ = desc.checked;
            item->enabled_ = desc.enabled;
        }
        for (auto [name, timer] : timers) {
            const TimerDesc& desc = *std::ranges::find(design.timers, name, &TimerDesc::name);
            timer->enabled_ = desc.enabled;
            timer->interval_ = desc.interval;
        }
        form.onClose = [this] { form_.Form_Unload(); };
    }

    void send(std::wstring_view name, Event event, KeyArgs keys = {}) {
        fakes::send(frmMainLayout(), frmMainRoutes(), form_, name, event, keys);
    }
    void click(std::wstring_view name) {
        send(name, name.starts_with(L"mnu") ? Event::Menu : Event::Click);
    }
    /// Form_Load, then the first activation, as a start without switches does.
    void start() {
        form_.Form_Load();
        form_.Form_Activate();
    }
    /// Types text into Combo1 one character at a time, running the change rule after each.
    void typeMinutes(const std::wstring& text) {
        for (wchar_t ch : text) {
            if (Combo1.type(ch)) {
                send(L"Combo1", Event::Change);
            }
        }
    }
    /// The player's message after the last note reaches the window.
    void endMelody() {
        if (melody.playing) {
            melody.playing = false;
            form_.MelodyFinished();
        }
    }
    void ticks(int count) {
        for (int i = 0; i < count && Timer3.enabled(); ++i) {
            send(L"Timer3", Event::Timer);
        }
    }
};

/// frmMain after a start without switches, for the tests that need nothing else first.
struct StartedMain : MainHarness {
    StartedMain() { start(); }
};

struct FakeText final : FakeControl<TextBox> {
    std::wstring text_;
    std::wstring text() const override { return text_; }
    void setText(const std::wstring& t) override { text_ = t; }
};

struct FakeLinks final : LinkOpener {
    std::vector<std::wstring> opened;
    void open(const std::wstring& address) override { opened.push_back(address); }
};

/// frmAbout on fakes, its labels as designed.
struct AboutHarness {
    Journal journal;
    FakeForm form{journal};
    FakeText text;
    FakeLabel link, ok;
    FakeLinks links;
    frmAbout about{AboutControls{form, text, link, ok}, links};
    AboutHarness() {
        fromDesign(link, control(frmAboutLayout(), L"lblHomePage"));
        fromDesign(ok, control(frmAboutLayout(), L"lblOK"));
    }
    void send(std::wstring_view name, Event event) {
        fakes::send(frmAboutLayout(), frmAboutRoutes(), about, name, event);
    }
};

} // namespace zorvo::fakes
