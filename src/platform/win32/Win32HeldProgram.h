#pragma once

#include <memory>
#include <string>

#include "platform/win32/ResourceHolders.h"
#include "services/system/HeldProgram.h"

namespace kanvel::platform::win32 {

// A program file opened for reading with FILE_SHARE_READ alone: while the
// handle is open, Windows refuses anyone an open for writing or deletion
// (and a rename over it), so the file that was checked is the file started.
// Starting it is still allowed: the loader opens it for executing, which
// read sharing permits.
class Win32HeldProgram : public services::HeldProgram {
public:
    // Nothing when the file cannot be opened so (missing, a folder, or open
    // for writing elsewhere).
    static std::unique_ptr<Win32HeldProgram> Hold(const std::wstring& path);

    services::FileSignature Signature() override;
    bool Start(const std::wstring& directory, services::StartAs as) override;

private:
    Win32HeldProgram(FileHandle file, std::wstring path) : file_(std::move(file)), path_(std::move(path)) {}
    bool startDirectly(const std::wstring& directory) const;

    FileHandle file_;
    std::wstring path_;
};

}  // namespace kanvel::platform::win32
