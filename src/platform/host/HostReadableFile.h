#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/host/HostFileSystem.h"
#include "services/system/ReadableFile.h"

namespace kanvel::platform::host {

// A real file of the temporary tree, read from its start.
class HostReadableFile : public services::ReadableFile {
public:
    // How a symbolic link at the path's own name is taken: followed, or
    // opened itself as Windows opens a reparse point with
    // FILE_FLAG_OPEN_REPARSE_POINT (no bytes to read). Links in the folders
    // above are followed either way, as on Windows.
    enum class Links { Followed, OpenedThemselves };
    // Nothing when there is no regular file (or, not followed, link) to open.
    static std::unique_ptr<HostReadableFile> Open(const HostFileSystem& files, const std::wstring& windowsPath,
                                                  Links links = Links::Followed);
    ~HostReadableFile() override;
    HostReadableFile(const HostReadableFile&) = delete;
    HostReadableFile& operator=(const HostReadableFile&) = delete;

    std::uint64_t Size() override;
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;
    bool IsLink() override { return in_ == nullptr; }
    std::optional<std::wstring> RealPath() override;

private:
    HostReadableFile(const HostFileSystem& files, std::FILE* in, std::filesystem::path host, std::wstring windowsPath);

    const HostFileSystem& files_;
    std::FILE* in_;  // nothing for a link opened itself
    std::filesystem::path host_;
    std::wstring windowsPath_;
};

}  // namespace kanvel::platform::host
