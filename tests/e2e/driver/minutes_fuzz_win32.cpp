#include "minutes_fuzz_win32.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "handles_win32.h"
#include "protocol_win32.h"

namespace zdrive {

namespace {

const std::wstring box_class = L"#32770";
const std::wstring box_caption = L"Zorvo";
constexpr int box_text_id = 0xFFFF;
// Longer than any edit takes, short enough that a hung program fails the run in good time.
constexpr UINT edit_timeout_ms = 15000;
constexpr ULONGLONG press_again_ms = 3000;
constexpr DWORD first_wait_ms = 8;

struct Edit {
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    std::wstring label;
};

// Sends one message at a time from a thread of its own, so that the caller can watch for a box
// while the program is still inside the handler that shows it.
class Sender {
public:
    Sender()
        : go_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          thread_(CreateThread(nullptr, 0, &Sender::run, this, 0, nullptr)) {}
    ~Sender() {
        if (thread_) {
            quit_ = true;
            SetEvent(go_.get());
            WaitForSingleObject(thread_.get(), edit_timeout_ms + 5000);
        }
    }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    bool ready() const { return go_ && done_ && thread_; }

    void start(HWND hwnd, const Edit& edit) {
        hwnd_ = hwnd;
        edit_ = edit;
        SetEvent(go_.get());
    }

    // True once the program has handled the message (or given up on it: see answered()).
    bool wait(DWORD ms) { return WaitForSingleObject(done_.get(), ms) == WAIT_OBJECT_0; }

    bool answered() const { return answered_; }

private:
    static DWORD WINAPI run(void* self) {
        auto* sender = static_cast<Sender*>(self);
        for (;;) {
            WaitForSingleObject(sender->go_.get(), INFINITE);
            if (sender->quit_) {
                return 0;
            }
            DWORD_PTR result = 0;
            sender->answered_ = SendMessageTimeoutW(sender->hwnd_, sender->edit_.message,
                                                    sender->edit_.wparam, sender->edit_.lparam,
                                                    SMTO_NORMAL, edit_timeout_ms, &result) != 0;
            SetEvent(sender->done_.get());
        }
    }

    kernel_handle go_;
    kernel_handle done_;
    kernel_handle thread_;
    HWND hwnd_ = nullptr;
    Edit edit_;
    std::atomic<bool> answered_ = false;
    std::atomic<bool> quit_ = false;
};

bool read_text(HWND hwnd, std::wstring& text) {
    // One message for the usual short text; a long one is read again at its full length.
    for (size_t room = 256;; room *= 16) {
        std::wstring buffer(room, L'\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, static_cast<WPARAM>(room),
                                 reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL,
                                 edit_timeout_ms, &copied)) {
            return false;
        }
        if (copied + 1 < room || room >= 65536) {
            buffer.resize(std::min(static_cast<size_t>(copied), room));
            text = buffer;
            return true;
        }
    }
}

// The program's message boxes on the screen. FindWindowEx asks for class and caption at once,
// much faster under Wine than going through every top-level window.
std::vector<HWND> open_boxes() {
    std::vector<HWND> boxes;
    HWND after = nullptr;
    while ((after = FindWindowExW(nullptr, after, box_class.c_str(), box_caption.c_str())) !=
           nullptr) {
        if (IsWindowVisible(after)) {
            boxes.push_back(after);
        }
    }
    return boxes;
}

Edit character(wchar_t c) {
    Edit edit{WM_CHAR, static_cast<WPARAM>(c), 1, {}};
    edit.label = c == L'\b' ? L"char:BS" : c == L' ' ? L"char:SP" : L"char:" + std::wstring(1, c);
    return edit;
}

Edit selection(int start, int end) {
    return Edit{EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end),
                L"sel:" + std::to_wstring(start) + L":" + std::to_wstring(end)};
}

// Mostly digits, so that long numbers and the upper bound are reached, with every kind of text
// that the rule must turn away mixed in.
Edit random_edit(std::mt19937& random, size_t length) {
    static const std::wstring others = L",.-+ aeEzж";
    const auto pick = [&random](int below) {
        return static_cast<int>(std::uniform_int_distribution<int>(0, below - 1)(random));
    };
    const int roll = pick(100);
    if (roll < 48) {
        return character(static_cast<wchar_t>(L'0' + pick(10)));
    }
    if (roll < 74) {
        return character(L'\b');
    }
    if (roll < 80) {
        return selection(0, -1);
    }
    if (roll < 96) {
        const int end = pick(static_cast<int>(length) + 2);
        return selection(pick(end + 1), end);
    }
    return character(others[static_cast<size_t>(pick(static_cast<int>(others.size())))]);
}

class Trace {
public:
    explicit Trace(const std::wstring& path) : file_(create(path)) {}
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    ~Trace() { flush(); }

    bool ok() const { return static_cast<bool>(file_); }

    void line(const std::vector<std::wstring>& fields) {
        std::wstring text;
        for (const std::wstring& field : fields) {
            text += (text.empty() ? L"" : L"\t") + escape_value(field);
        }
        pending_ += to_utf8(text) + "\n";
        if (pending_.size() > 65536) {
            flush();
        }
    }

    void flush() {
        if (file_ && !pending_.empty()) {
            DWORD written = 0;
            WriteFile(file_.get(), pending_.data(), static_cast<DWORD>(pending_.size()), &written,
                      nullptr);
            pending_.clear();
        }
    }

private:
    static HANDLE create(const std::wstring& path) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        return file == INVALID_HANDLE_VALUE ? nullptr : file;
    }

    kernel_handle file_;
    std::string pending_;
};

} // namespace

FuzzResult fuzz_minutes(HWND edit, int count, unsigned seed, const std::wstring& trace_path) {
    FuzzResult result;
    Trace trace(trace_path);
    if (!trace.ok()) {
        result.error = L"cannot create the trace file " + trace_path;
        return result;
    }
    Sender sender;
    if (!sender.ready()) {
        result.error = L"cannot start the sending thread";
        return result;
    }
    std::mt19937 random(seed);
    std::wstring text;
    if (!read_text(edit, text)) {
        result.error = L"the minutes box does not answer";
        return result;
    }
    for (; result.edits < count; ++result.edits) {
        const Edit next = random_edit(random, text.size());
        sender.start(edit, next);
        std::set<HWND> seen;
        std::vector<std::wstring> box_texts;
        std::vector<std::pair<HWND, ULONGLONG>> pressed;
        size_t most_open = 0;
        const ULONGLONG started = GetTickCount64();
        // Most edits are handled within the first wait; one that is not is probably showing a
        // box, which is then looked for every millisecond. An edit handled at once showed none:
        // its handler would still be waiting for the box.
        if (sender.wait(first_wait_ms)) {
            if (!sender.answered() || !read_text(edit, text)) {
                result.error = L"the minutes box does not answer";
                return result;
            }
            trace.line({next.label, text, L"0", L"0"});
            continue;
        }
        for (;;) {
            const bool done = sender.wait(1);
            const std::vector<HWND> boxes = open_boxes();
            most_open = std::max(most_open, boxes.size());
            for (HWND box : boxes) {
                if (seen.insert(box).second) {
                    std::wstring box_text;
                    HWND label = GetDlgItem(box, box_text_id);
                    if (label == nullptr || !read_text(label, box_text)) {
                        box_text = L"?";
                    }
                    box_texts.push_back(box_text);
                }
                const auto it = std::find_if(pressed.begin(), pressed.end(),
                                             [box](const auto& p) { return p.first == box; });
                const ULONGLONG now = GetTickCount64();
                if (it == pressed.end() || now - it->second > press_again_ms) {
                    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
                    if (it == pressed.end()) {
                        pressed.emplace_back(box, now);
                    } else {
                        it->second = now;
                    }
                }
            }
            if (done && boxes.empty()) {
                break;
            }
            if (GetTickCount64() - started > edit_timeout_ms + 5000ULL) {
                result.error = L"edit " + next.label + L" did not end";
                return result;
            }
        }
        if (!sender.answered()) {
            result.error = L"the minutes box did not answer edit " + next.label;
            return result;
        }
        if (!read_text(edit, text)) {
            result.error = L"the minutes box does not answer";
            return result;
        }
        result.boxes += static_cast<int>(seen.size());
        result.most_open = std::max(result.most_open, static_cast<int>(most_open));
        std::vector<std::wstring> fields = {next.label, text, std::to_wstring(seen.size()),
                                            std::to_wstring(most_open)};
        fields.insert(fields.end(), box_texts.begin(), box_texts.end());
        trace.line(fields);
    }
    return result;
}

} // namespace zdrive
