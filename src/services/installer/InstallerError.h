#pragma once

#include <exception>
#include <string>

#include "ui/ReportedError.h"

namespace kanvel::services {

// An error that ends the current event handler. Its text is what the user sees
// in the toolkit's error box (or what a caller such as the download sorts by).
class InstallerError : public ui::ReportedError {
public:
    explicit InstallerError(std::wstring text) : text_(std::move(text)) {}
    const std::wstring& text() const noexcept { return text_; }
    std::wstring reportText() const override { return text_; }
    const char* what() const noexcept override { return "kanvel::services::InstallerError"; }

private:
    std::wstring text_;
};

// A failure to create, open, write or close a file (the message log, a
// downloaded file). Reported like any other error.
class InputOutputError : public InstallerError {
public:
    using InstallerError::InstallerError;
};

// A write that failed because the volume is full (on Windows,
// ERROR_DISK_FULL or ERROR_HANDLE_DISK_FULL), or a file the volume's free
// space cannot hold. What was written of it is removed.
class DiskFull : public InputOutputError {
public:
    using InputOutputError::InputOutputError;
};

// Ends the current event handler without any message: the toolkit's default
// error handling shows nothing for it.
class SilentAbort : public ui::ReportedError {
public:
    std::wstring reportText() const override { return std::wstring(); }
    bool silent() const override { return true; }
    const char* what() const noexcept override { return "kanvel::services::SilentAbort"; }
};

// The user ended the program while work ran (the window was closed during a
// download): the work stops where it is, without a message, and nothing
// after it runs.
class BrokenOff : public ui::ReportedError {
public:
    std::wstring reportText() const override { return std::wstring(); }
    bool silent() const override { return true; }
    const char* what() const noexcept override { return "kanvel::services::BrokenOff"; }
};

}  // namespace kanvel::services
