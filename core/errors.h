#pragma once
// The errors that leave a handler: reported by the message loop in a message box.

#include <stdexcept>
#include <string>
#include <utility>

namespace zorvo {

/// An error that no handler traps. It reaches the message loop, which reports `message()` in a
/// message box and ends the program.
class UntrappedError : public std::runtime_error {
public:
    explicit UntrappedError(std::wstring message)
        : std::runtime_error("untrapped error"), message_(std::move(message)) {}
    const std::wstring& message() const { return message_; }

private:
    std::wstring message_;
};

/// A file could not be written; `message()` says why, in words for the user.
class FileError : public UntrappedError {
public:
    using UntrappedError::UntrappedError;
};

} // namespace zorvo
