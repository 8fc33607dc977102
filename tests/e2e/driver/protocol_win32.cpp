#include "protocol_win32.h"

#include <windows.h>

#include <cwchar>

namespace zdrive {

std::wstring from_utf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), length);
    return result;
}

std::string to_utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

namespace {

// Undoes the test library's escapes: \\ for a backslash, \s for a blank, \uXXXX for a
// control character.
std::wstring decode_token(std::wstring_view token) {
    std::wstring result;
    for (size_t i = 0; i < token.size(); ++i) {
        if (token[i] != L'\\' || i + 1 == token.size()) {
            result += token[i];
        } else if (token[++i] == L's') {
            result += L' ';
        } else if (token[i] == L'u' && i + 4 < token.size()) {
            result += static_cast<wchar_t>(
                std::wcstoul(std::wstring(token.substr(i + 1, 4)).c_str(), nullptr, 16));
            i += 4;
        } else {
            result += token[i];
        }
    }
    return result;
}

} // namespace

std::vector<std::wstring> split_tokens(std::wstring_view line) {
    std::vector<std::wstring> tokens;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(L' ', start);
        if (end == std::wstring_view::npos) {
            end = line.size();
        }
        if (end > start) {
            tokens.push_back(decode_token(line.substr(start, end - start)));
        }
        start = end + 1;
    }
    return tokens;
}

std::wstring escape_value(std::wstring_view text) {
    std::wstring result;
    for (const wchar_t c : text) {
        switch (c) {
        case L'\\':
            result += L"\\\\";
            break;
        case L'\r':
            result += L"\\r";
            break;
        case L'\n':
            result += L"\\n";
            break;
        case L'\t':
            result += L"\\t";
            break;
        default:
            result += c;
            break;
        }
    }
    return result;
}

} // namespace zdrive
