#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sleep/command_line.h"

namespace zorvo {
namespace {

using Args = std::vector<std::wstring>;

CommandLineRequest request(std::int32_t delay, std::int32_t task, std::int32_t view) {
    return {delay, task, view};
}

// Split -------------------------------------------------------------------------------------

TEST(SplitCommandLine, BackslashAndQuoteRules) {
    EXPECT_EQ(splitCommandLine(LR"(p "abc" d e)"), (Args{L"p", L"abc", L"d", L"e"}));
    EXPECT_EQ(splitCommandLine(LR"(p a\\b d"e f"g h)"), (Args{L"p", LR"(a\\b)", L"de fg", L"h"}));
    EXPECT_EQ(splitCommandLine(LR"(p a\\\"b c d)"), (Args{L"p", LR"(a\"b)", L"c", L"d"}));
    EXPECT_EQ(splitCommandLine(LR"(p a\\\\"b c" d e)"), (Args{L"p", LR"(a\\b c)", L"d", L"e"}));
    // Inside quotes a doubled quote is a literal one and the quoted part goes on.
    EXPECT_EQ(splitCommandLine(LR"(p a"b"" c d)"), (Args{L"p", LR"(ab" c d)"}));
    // Backslashes at the end of an argument or before a blank are plain.
    EXPECT_EQ(splitCommandLine(LR"(p C:\dir\ x\\)"), (Args{L"p", LR"(C:\dir\)", LR"(x\\)"}));
    EXPECT_EQ(splitCommandLine(LR"(p "C:\dir\\" x)"), (Args{L"p", LR"(C:\dir\)", L"x"}));
}

TEST(SplitCommandLine, BlanksAndEmptyArguments) {
    EXPECT_EQ(splitCommandLine(L"p \t /v\t\t30   "), (Args{L"p", L"/v", L"30"}));
    EXPECT_EQ(splitCommandLine(LR"(p "" x "")"), (Args{L"p", L"", L"x", L""}));
    EXPECT_EQ(splitCommandLine(LR"(p "a b)"), (Args{L"p", L"a b"}));
    EXPECT_EQ(splitCommandLine(L"p\n/v"), (Args{L"p\n/v"})); // only blank and tab separate
}

TEST(SplitCommandLine, ProgramNameTakesBackslashesLiterally) {
    EXPECT_EQ(splitCommandLine(LR"("C:\My Tools\zorvo.exe" /r 45)"),
              (Args{LR"(C:\My Tools\zorvo.exe)", L"/r", L"45"}));
    EXPECT_EQ(splitCommandLine(LR"("C:\dir\"x y)"), (Args{LR"(C:\dir\x)", L"y"}));
    EXPECT_EQ(splitCommandLine(LR"(C:\Tools\zorvo.exe /v 1 )"),
              (Args{LR"(C:\Tools\zorvo.exe)", L"/v", L"1"}));
    EXPECT_EQ(splitCommandLine(LR"(a"b c"d e)"), (Args{L"ab cd", L"e"}));
}

TEST(SplitCommandLine, EmptyOrBlankStartGivesEmptyProgramName) {
    EXPECT_EQ(splitCommandLine(L""), (Args{L""}));
    EXPECT_EQ(splitCommandLine(L" /v 5"), (Args{L"", L"/v", L"5"}));
}

// Parse -------------------------------------------------------------------------------------

TEST(ParseCommandLine, TaskSwitchesAndTheirDelay) {
    EXPECT_EQ(parseCommandLine(L"zorvo.exe /v 30"), request(30, 3, 1));
    EXPECT_EQ(parseCommandLine(L"zorvo.exe /w 2"), request(2, 4, 1));
    EXPECT_EQ(parseCommandLine(L"zorvo.exe /r 360"), request(360, 5, 1));
    EXPECT_EQ(parseCommandLine(L"zorvo.exe /s 15"), request(15, 7, 1));
    EXPECT_EQ(parseCommandLine(L"zorvo.exe /a 1"), request(1, 8, 1));
    EXPECT_EQ(parseCommandLine(L"zorvo.exe"), request(1, 1, 1));
    EXPECT_EQ(parseCommandLine(L""), request(1, 1, 1));
}

TEST(ParseCommandLine, WhatTheBatchFilesWrite) {
    EXPECT_EQ(parseCommandLine(LR"(C:\Tools\zorvo.exe /v 1 )"), request(1, 3, 1));
    EXPECT_EQ(parseCommandLine(LR"(C:\Tools\zorvo.exe /r 45 /hid)"), request(45, 5, 3));
    EXPECT_EQ(parseCommandLine(LR"(D:\zorvo.exe /a 10 /min)"), request(10, 8, 2));
    EXPECT_EQ(parseCommandLine(LR"("C:\Program Files\Z\zorvo.exe" /s 5 /hid)"), request(5, 7, 3));
}

TEST(ParseCommandLine, WindowModes) {
    EXPECT_EQ(parseCommandLine(L"z /min").view, 2);
    EXPECT_EQ(parseCommandLine(L"z /hid").view, 3);
    EXPECT_EQ(parseCommandLine(L"z /invisible").view, 4);
    EXPECT_EQ(parseCommandLine(L"z /hide").view, 1);
    EXPECT_EQ(parseCommandLine(L"z /v 5").view, 1);
    // A window switch alone starts no task; it may stand before the task switch.
    EXPECT_EQ(parseCommandLine(L"z /hid"), request(1, 1, 3));
    EXPECT_EQ(parseCommandLine(L"z /min /w 20"), request(20, 4, 2));
}

TEST(ParseCommandLine, SwitchesIgnoreLetterCase) {
    EXPECT_EQ(parseCommandLine(L"z /V 5 /MIN"), request(5, 3, 2));
    EXPECT_EQ(parseCommandLine(L"z /R 5 /HiD"), request(5, 5, 3));
    EXPECT_EQ(parseCommandLine(L"z /A 5 /InVisible"), request(5, 8, 4));
}

TEST(ParseCommandLine, FirstSwitchOfEachKindCounts) {
    EXPECT_EQ(parseCommandLine(L"z /r 5 /v 7"), request(5, 5, 1));
    EXPECT_EQ(parseCommandLine(L"z /s 9 /hid /min /invisible"), request(9, 7, 3));
    // A later task switch's number does not replace the first one's missing delay.
    EXPECT_EQ(parseCommandLine(L"z /w /v 30"), request(1, 4, 1));
}

TEST(ParseCommandLine, MissingDelayGivesOne) {
    EXPECT_EQ(parseCommandLine(L"z /v"), request(1, 3, 1));
    EXPECT_EQ(parseCommandLine(L"z /v /min"), request(1, 3, 2));
    EXPECT_EQ(parseCommandLine(L"z /a /invisible"), request(1, 8, 4));
    // A number without a task switch is not a delay.
    EXPECT_EQ(parseCommandLine(L"z 30"), request(1, 1, 1));
    EXPECT_EQ(parseCommandLine(L"z 30 /v"), request(1, 3, 1));
}

TEST(ParseCommandLine, DelayIsAPlainDecimalThatFitsIn32Bits) {
    const auto delay = [](const wchar_t* text) {
        return parseCommandLine(std::wstring(L"z /r ") + text).delay;
    };
    EXPECT_EQ(delay(L"360"), 360);
    EXPECT_EQ(delay(L"1"), 1);
    EXPECT_EQ(delay(L"361"), 0);
    EXPECT_EQ(delay(L"400"), 0);
    EXPECT_EQ(delay(L"0"), 0);
    EXPECT_EQ(delay(L"0360"), 360);
    EXPECT_EQ(delay(L"007"), 7);
    EXPECT_EQ(delay(LR"("45")"), 45);
    EXPECT_EQ(delay(L"2147483647"), 0);
    EXPECT_EQ(delay(L"2147483648"), 0);
    EXPECT_EQ(delay(L"99999999999999999999999"), 0);
    EXPECT_EQ(delay(L"-5"), 0);
    EXPECT_EQ(delay(L"+5"), 0);
    EXPECT_EQ(delay(L"5x"), 0);
    EXPECT_EQ(delay(L"5.0"), 0);
    EXPECT_EQ(delay(L"0x10"), 0);
    EXPECT_EQ(delay(L"\x0665"), 0); // Arabic-Indic five
    EXPECT_EQ(delay(L"\xFF15"), 0); // full-width five
    EXPECT_EQ(delay(LR"("")"), 0);  // an empty argument is given, and malformed
    EXPECT_EQ(delay(LR"("4 5")"), 0);
    EXPECT_EQ(parseCommandLine(L"z /r 400 /min"), request(0, 5, 2));
}

TEST(ParseCommandLine, ProgramNameIsNeverASwitch) {
    EXPECT_EQ(parseCommandLine(L"/v 9"), request(1, 1, 1));
    EXPECT_EQ(parseCommandLine(LR"("/v" 9 /min)"), request(1, 1, 2));
    EXPECT_EQ(parseCommandLine(LR"("C:\x /v 30\zorvo.exe" /w 3)"), request(3, 4, 1));
}

TEST(ParseCommandLine, OnlyWholeArgumentsAreSwitches) {
    EXPECT_EQ(parseCommandLine(LR"(z "/v" "30")"), request(30, 3, 1));
    EXPECT_EQ(parseCommandLine(LR"(z "/v 30")"), request(1, 1, 1));
    EXPECT_EQ(parseCommandLine(L"z /vv 30 -v 30 v 30 /v30 /mini"), request(1, 1, 1));
    EXPECT_EQ(parseCommandLine(L"z /x 4 /s 8"), request(8, 7, 1));
}

// Properties over random input ---------------------------------------------------------------

/// Quotes one argument so that the C runtime gives it back unchanged.
std::wstring quoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            text.append(backslashes * 2 + 1, L'\\');
        } else {
            text.append(backslashes, L'\\');
        }
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, L'\\');
    return text + L"\"";
}

TEST(CommandLineProperties, RandomLinesGiveResultsInTheirSets) {
    const std::vector<std::wstring> pieces = {
        L"/v", L"/W",   L"/r",   L"/S",         L"/a",  L"/min", L"/HID",   L"/invisible",
        L"/",  L"0",    L"1",    L"360",        L"400", L"-7",   L"+3",     L"2147483648",
        L"\"", L"\\",   L"\\\"", L" ",          L"\t",  L"x",    L"\xFF15", L"\x0416",
        L"  ", L"\"\"", L"9",    L"2147483647", L"v",   L"/m",   L"\\\\",   L"\n"};
    std::mt19937 random(20240607);
    std::uniform_int_distribution<std::size_t> pieceCount(0, 8);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::wstring line;
    for (int run = 0; run < 100000; ++run) {
        line.clear();
        for (std::size_t n = pieceCount(random); n > 0; --n) {
            line += pieces[pick(random)];
        }
        const CommandLineRequest first = parseCommandLine(line);
        ASSERT_TRUE(first.delay >= 0 && first.delay <= 360) << line;
        ASSERT_TRUE(first.task == 1 || first.task == 3 || first.task == 4 || first.task == 5 ||
                    first.task == 7 || first.task == 8)
            << line;
        ASSERT_TRUE(first.view >= 1 && first.view <= 4) << line;
        if (first.task == 1) {
            ASSERT_EQ(first.delay, 1) << line;
        }
        ASSERT_EQ(parseCommandLine(line), first) << line;
    }
}

TEST(CommandLineProperties, QuotedArgumentsSplitBackUnchanged) {
    const std::wstring alphabet = L"ab \t\"\\/";
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> length(0, 6);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int run = 0; run < 5000; ++run) {
        Args arguments = {L"C:\\Program Files\\zorvo.exe"};
        for (std::size_t count = length(random); count > 0; --count) {
            std::wstring argument;
            for (std::size_t n = length(random); n > 0; --n) {
                argument += alphabet[pick(random)];
            }
            arguments.push_back(argument);
        }
        std::wstring line = L"\"" + arguments.front() + L"\"";
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            line += L" " + quoteArgument(arguments[i]);
        }
        ASSERT_EQ(splitCommandLine(line), arguments) << line;
    }
}

} // namespace
} // namespace zorvo
