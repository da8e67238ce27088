#pragma once

#include <memory>
#include <string>

#include "platform/win32/ResourceHolders.h"

#include "services/system/ReadableFile.h"

namespace kanvel::platform::win32 {

// A file read from its start, shared for reading only: nobody can change it
// while it is held.
class Win32ReadableFile : public services::ReadableFile {
public:
    // How a link at the path's own name is taken.
    enum class Links { Followed, OpenedThemselves };
    // Nothing when the file cannot be opened so.
    static std::unique_ptr<Win32ReadableFile> Open(const std::wstring& path, Links links = Links::Followed);

    std::uint64_t Size() override;
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;
    bool IsLink() override;
    std::optional<std::wstring> RealPath() override;

private:
    Win32ReadableFile(FileHandle file, std::wstring path) : file_(std::move(file)), path_(std::move(path)) {}
    [[noreturn]] void fail() const;

    FileHandle file_;
    std::wstring path_;
};

}  // namespace kanvel::platform::win32
