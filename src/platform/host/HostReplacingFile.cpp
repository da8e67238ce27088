#include "platform/host/HostReplacingFile.h"

#include "services/InstallerError.h"

namespace kanvel::platform::host {

namespace fs = std::filesystem;

namespace {
services::InputOutputError CannotCreate(const std::wstring& path) {
    return services::InputOutputError(L"Cannot create file \"" + path + L"\". Access is denied.");
}
}  // namespace

HostReplacingFile::HostReplacingFile(fs::path target, fs::path partial, std::wstring windowsPath)
    : target_(std::move(target)), partial_(std::move(partial)), windowsPath_(std::move(windowsPath)) {
    std::error_code ec;
    // A read-only target cannot be replaced, as on Windows.
    if (fs::exists(target_, ec) && (fs::status(target_, ec).permissions() & fs::perms::owner_write) == fs::perms::none)
        throw CannotCreate(windowsPath_);
    // A partial file left by an earlier, interrupted run is simply replaced.
    out_.open(partial_, std::ios::binary | std::ios::trunc);
    if (!out_) throw CannotCreate(windowsPath_);
}

HostReplacingFile::~HostReplacingFile() {
    if (committed_) return;
    out_.close();
    std::error_code ec;
    fs::remove(partial_, ec);
}

void HostReplacingFile::Write(const std::uint8_t* data, std::size_t size) {
    out_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out_) throw CannotCreate(windowsPath_);
}

void HostReplacingFile::Commit() {
    out_.close();
    if (!out_) throw CannotCreate(windowsPath_);
    std::error_code ec;
    fs::rename(partial_, target_, ec);
    if (ec) throw CannotCreate(windowsPath_);
    committed_ = true;
}

}  // namespace kanvel::platform::host
