#include "protocol_win32.h"

#include <windows.h>

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

int hex_digit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

std::wstring decode_token(std::wstring_view token) {
    std::wstring result;
    for (size_t i = 0; i < token.size(); ++i) {
        if (token[i] != L'\\' || i + 1 == token.size()) {
            result += token[i];
            continue;
        }
        const wchar_t kind = token[++i];
        switch (kind) {
        case L's':
            result += L' ';
            break;
        case L'n':
            result += L'\n';
            break;
        case L'r':
            result += L'\r';
            break;
        case L't':
            result += L'\t';
            break;
        case L'b':
            result += L'\b';
            break;
        case L'u': {
            int code = 0;
            size_t used = 0;
            while (used < 4 && i + 1 < token.size() && hex_digit(token[i + 1]) >= 0) {
                code = code * 16 + hex_digit(token[++i]);
                ++used;
            }
            result += static_cast<wchar_t>(code);
            break;
        }
        default:
            result += kind;
            break;
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
