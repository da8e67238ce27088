#pragma once

#include <filesystem>
#include <fstream>

#include "services/PlatformOperations.h"

namespace kanvel::platform::host {

// The replacing file of the test platform: the partial file beside the
// target, renamed over it on commit.
class HostReplacingFile : public services::ReplacingFile {
public:
    HostReplacingFile(std::filesystem::path target, std::filesystem::path partial, std::wstring windowsPath);
    ~HostReplacingFile() override;

    void Write(const std::uint8_t* data, std::size_t size) override;
    void Commit() override;

private:
    std::filesystem::path target_;
    std::filesystem::path partial_;
    std::wstring windowsPath_;
    std::ofstream out_;
    bool committed_ = false;
};

}  // namespace kanvel::platform::host
