#include "platform/host/HostReadableFile.h"

#include "services/installer/InstallerError.h"

namespace kanvel::platform::host {

namespace fs = std::filesystem;

std::unique_ptr<HostReadableFile> HostReadableFile::Open(const fs::path& host, std::wstring windowsPath) {
    std::error_code ec;
    if (!fs::is_regular_file(host, ec)) return nullptr;
    std::FILE* in = std::fopen(host.c_str(), "rb");
    if (in == nullptr) return nullptr;
    return std::unique_ptr<HostReadableFile>(new HostReadableFile(in, host, std::move(windowsPath)));
}

HostReadableFile::HostReadableFile(std::FILE* in, fs::path host, std::wstring windowsPath)
    : in_(in), host_(std::move(host)), windowsPath_(std::move(windowsPath)) {}

HostReadableFile::~HostReadableFile() { std::fclose(in_); }

std::uint64_t HostReadableFile::Size() {
    std::error_code ec;
    const auto size = fs::file_size(host_, ec);
    if (ec) throw services::InputOutputError(L"Cannot read file \"" + windowsPath_ + L"\".");
    return size;
}

std::size_t HostReadableFile::Read(std::uint8_t* buffer, std::size_t size) {
    const std::size_t got = std::fread(buffer, 1, size, in_);
    if (got == 0 && std::ferror(in_)) throw services::InputOutputError(L"Cannot read file \"" + windowsPath_ + L"\".");
    return got;
}

}  // namespace kanvel::platform::host
