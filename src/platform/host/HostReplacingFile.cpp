#include "platform/host/HostReplacingFile.h"

#include <fstream>
#include <sstream>

#include "services/installer/InstallerError.h"

namespace kanvel::platform::host {

namespace fs = std::filesystem;

namespace {
services::InputOutputError CannotCreate(const std::wstring& path) {
    return services::InputOutputError(L"Cannot create file \"" + path + L"\". Access is denied.");
}
}  // namespace

HostReplacingFile::HostReplacingFile(fs::path target, fs::path partial, std::wstring windowsPath,
                                     const SignatureReader& signatures)
    : target_(std::move(target)), partial_(std::move(partial)), windowsPath_(std::move(windowsPath)),
      signatures_(signatures) {
    std::error_code ec;
    // A read-only target cannot be replaced, as on Windows.
    if (fs::exists(target_, ec) && (fs::status(target_, ec).permissions() & fs::perms::owner_write) == fs::perms::none)
        throw CannotCreate(windowsPath_);
    // A partial file left by an earlier, interrupted run is replaced; a link
    // there goes as the link.
    fs::remove(partial_, ec);
    // "x": made new, or not at all.
    out_ = std::fopen(partial_.c_str(), "wbx");
    if (out_ == nullptr) throw CannotCreate(windowsPath_);
}

HostReplacingFile::HostReplacingFile(fs::path target, fs::path partial, std::wstring windowsPath,
                                     const SignatureReader& signatures, std::FILE* kept)
    : target_(std::move(target)), partial_(std::move(partial)), windowsPath_(std::move(windowsPath)),
      signatures_(signatures), out_(kept) {}

std::unique_ptr<HostReplacingFile> HostReplacingFile::Continue(fs::path target, fs::path partial,
                                                               std::wstring windowsPath,
                                                               const SignatureReader& signatures) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(partial, ec))) return nullptr;
    std::FILE* kept = std::fopen(partial.c_str(), "r+b");
    if (kept == nullptr) return nullptr;
    if (std::fseek(kept, 0, SEEK_END) != 0) {
        std::fclose(kept);
        return nullptr;
    }
    return std::unique_ptr<HostReplacingFile>(
        new HostReplacingFile(std::move(target), std::move(partial), std::move(windowsPath), signatures, kept));
}

std::int64_t HostReplacingFile::Size() {
    if (std::fflush(out_) != 0) throw CannotCreate(windowsPath_);
    std::error_code ec;
    return static_cast<std::int64_t>(fs::file_size(partial_, ec));
}

void HostReplacingFile::Restart() {
    out_ = std::freopen(partial_.c_str(), "wb", out_);
    if (out_ == nullptr) throw CannotCreate(windowsPath_);
}

void HostReplacingFile::KeepPartial() { keep_ = true; }

HostReplacingFile::~HostReplacingFile() {
    if (committed_) return;
    if (out_ != nullptr) std::fclose(out_);
    if (keep_) return;
    std::error_code ec;
    fs::remove(partial_, ec);
}

void HostReplacingFile::Write(const std::uint8_t* data, std::size_t size) {
    if (room_ != nullptr && room_->has_value()) {
        if (**room_ < size)
            throw services::DiskFull(L"Cannot create file \"" + windowsPath_ + L"\". There is not enough space on the disk.");
        **room_ -= size;
    }
    if (std::fwrite(data, 1, size, out_) != size) throw CannotCreate(windowsPath_);
}

services::FileSignature HostReplacingFile::Signature() {
    if (std::fflush(out_) != 0) throw CannotCreate(windowsPath_);
    std::ifstream in(partial_, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return signatures_(content.str());
}

void HostReplacingFile::Commit() {
    const int closed = std::fclose(out_);
    out_ = nullptr;
    if (closed != 0) throw CannotCreate(windowsPath_);
    std::error_code ec;
    fs::rename(partial_, target_, ec);
    if (ec) throw CannotCreate(windowsPath_);
    committed_ = true;
}

}  // namespace kanvel::platform::host
