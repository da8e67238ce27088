#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "services/system/ReadableFile.h"

namespace kanvel::platform::host {

// A real file of the temporary tree, read from its start.
class HostReadableFile : public services::ReadableFile {
public:
    // Nothing when there is no regular file to open.
    static std::unique_ptr<HostReadableFile> Open(const std::filesystem::path& host, std::wstring windowsPath);
    ~HostReadableFile() override;
    HostReadableFile(const HostReadableFile&) = delete;
    HostReadableFile& operator=(const HostReadableFile&) = delete;

    std::uint64_t Size() override;
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;

private:
    HostReadableFile(std::FILE* in, std::filesystem::path host, std::wstring windowsPath);

    std::FILE* in_;
    std::filesystem::path host_;
    std::wstring windowsPath_;
};

}  // namespace kanvel::platform::host
