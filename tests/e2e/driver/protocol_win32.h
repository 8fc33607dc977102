// The driver's text protocol: one command per line, tokens separated by single spaces, each token
// with backslash escapes so it can carry spaces and control characters; one answer line per
// command, UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zdrive {

std::wstring from_utf8(std::string_view text);
std::string to_utf8(std::wstring_view text);

// Splits a command line into tokens and decodes \\ \s and \uXXXX in each.
std::vector<std::wstring> split_tokens(std::wstring_view line);

// Escapes backslash, CR, LF and tab so a value always stays on one answer line.
std::wstring escape_value(std::wstring_view text);

} // namespace zdrive
