// The command line as sleep.dll reads it: split by the C runtime's rules, then the first task
// switch with the decimal delay right after it and the first window switch. Random lines and
// quoting round trips are the fuzz target's (tests/fuzz/command_line_fuzz.cpp).

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sleep/command_line.h"

namespace zorvo {
namespace {

using Args = std::vector<std::wstring>;

TEST(SplitCommandLine, BackslashQuoteAndBlankRules) {
    const std::pair<const wchar_t*, Args> cases[] = {
        {LR"(p "abc" d e)", {L"p", L"abc", L"d", L"e"}},
        {LR"(p a\\b d"e f"g h)", {L"p", LR"(a\\b)", L"de fg", L"h"}},
        {LR"(p a\\\"b c d)", {L"p", LR"(a\"b)", L"c", L"d"}},
        {LR"(p a\\\\"b c" d e)", {L"p", LR"(a\\b c)", L"d", L"e"}},
        // Inside quotes a doubled quote is a literal one and the quoted part goes on.
        {LR"(p a"b"" c d)", {L"p", LR"(ab" c d)"}},
        // Backslashes at the end of an argument or before a blank are plain.
        {LR"(p C:\dir\ x\\)", {L"p", LR"(C:\dir\)", LR"(x\\)"}},
        {LR"(p "C:\dir\\" x)", {L"p", LR"(C:\dir\)", L"x"}},
        {L"p \t /v\t\t30   ", {L"p", L"/v", L"30"}},
        {LR"(p "" x "")", {L"p", L"", L"x", L""}},
        {LR"(p "a b)", {L"p", L"a b"}},
        {L"p\n/v", {L"p\n/v"}}, // only blank and tab separate
        // The program name takes backslashes literally; an empty or blank start gives none.
        {LR"("C:\My Tools\zorvo.exe" /r 45)", {LR"(C:\My Tools\zorvo.exe)", L"/r", L"45"}},
        {LR"("C:\dir\"x y)", {LR"(C:\dir\x)", L"y"}},
        {LR"(C:\Tools\zorvo.exe /v 1 )", {LR"(C:\Tools\zorvo.exe)", L"/v", L"1"}},
        {LR"(a"b c"d e)", {L"ab cd", L"e"}},
        {L"", {L""}},
        {L" /v 5", {L"", L"/v", L"5"}},
    };
    for (const auto& [line, args] : cases) {
        EXPECT_EQ(splitCommandLine(line), args) << testing::PrintToString(std::wstring(line));
    }
}

TEST(ParseCommandLine, TasksDelaysAndWindowModes) {
    const std::pair<const wchar_t*, CommandLineRequest> cases[] = {
        // Each task switch and its delay; none at all.
        {L"zorvo.exe /v 30", {30, 3, 1}},
        {L"zorvo.exe /w 2", {2, 4, 1}},
        {L"zorvo.exe /r 360", {360, 5, 1}},
        {L"zorvo.exe /s 15", {15, 7, 1}},
        {L"zorvo.exe /a 1", {1, 8, 1}},
        {L"zorvo.exe", {1, 1, 1}},
        {L"", {1, 1, 1}},
        // What the batch files write.
        {LR"(C:\Tools\zorvo.exe /v 1 )", {1, 3, 1}},
        {LR"(C:\Tools\zorvo.exe /r 45 /hid)", {45, 5, 3}},
        {LR"("C:\Program Files\Z\zorvo.exe" /s 5 /hid)", {5, 7, 3}},
        // Window modes; a window switch alone starts no task and may come first.
        {L"z /invisible", {1, 1, 4}},
        {L"z /hide", {1, 1, 1}},
        {L"z /hid", {1, 1, 3}},
        {L"z /min /w 20", {20, 4, 2}},
        // Letter case does not matter.
        {L"z /V 5 /MIN", {5, 3, 2}},
        {L"z /A 5 /InVisible", {5, 8, 4}},
        // The first switch of each kind counts; a later task's number is not the first's delay.
        {L"z /r 5 /v 7", {5, 5, 1}},
        {L"z /s 9 /hid /min /invisible", {9, 7, 3}},
        {L"z /w /v 30", {1, 4, 1}},
        // A missing delay gives one; a number without a task switch is no delay.
        {L"z /v", {1, 3, 1}},
        {L"z /v /min", {1, 3, 2}},
        {L"z 30", {1, 1, 1}},
        {L"z 30 /v", {1, 3, 1}},
        // The program name is never a switch; only whole arguments are.
        {L"/v 9", {1, 1, 1}},
        {LR"("/v" 9 /min)", {1, 1, 2}},
        {LR"("C:\x /v 30\zorvo.exe" /w 3)", {3, 4, 1}},
        {LR"(z "/v" "30")", {30, 3, 1}},
        {LR"(z "/v 30")", {1, 1, 1}},
        {L"z /vv 30 -v 30 v 30 /v30 /mini", {1, 1, 1}},
        {L"z /x 4 /s 8", {8, 7, 1}},
        {L"z /r 400 /min", {0, 5, 2}},
    };
    for (const auto& [line, request] : cases) {
        EXPECT_EQ(parseCommandLine(line), request) << testing::PrintToString(std::wstring(line));
    }
}

// The delay is a plain decimal from 1 to 360 that fits in 32 bits; anything else is 0.
TEST(ParseCommandLine, DelayIsAPlainDecimal) {
    const auto delayOf = [](const std::wstring& text) {
        return parseCommandLine(L"z /r " + text).delay;
    };
    for (const auto& [text, delay] :
         {std::pair{L"360", 360}, {L"1", 1}, {L"0360", 360}, {L"007", 7}, {LR"("45")", 45}}) {
        EXPECT_EQ(delayOf(text), delay) << testing::PrintToString(std::wstring(text));
    }
    for (const wchar_t* text :
         {L"361", L"400", L"0", L"2147483647", L"2147483648", L"99999999999999999999999", L"-5",
          L"+5", L"5x", L"5.0", L"0x10", L"\x0665", L"\xFF15", LR"("")", LR"("4 5")"}) {
        EXPECT_EQ(delayOf(text), 0) << testing::PrintToString(std::wstring(text));
    }
}

} // namespace
} // namespace zorvo
