#include "platform/host/HostReadableFile.h"

#include <fcntl.h>
#include <unistd.h>

#include "services/installer/InstallerError.h"

namespace kanvel::platform::host {

namespace fs = std::filesystem;

std::unique_ptr<HostReadableFile> HostReadableFile::Open(const HostFileSystem& files, const std::wstring& windowsPath,
                                                         Links links) {
    const fs::path host = files.ToHost(windowsPath);
    std::error_code ec;
    const bool link = fs::is_symlink(fs::symlink_status(host, ec));
    if (link && links == Links::OpenedThemselves)
        return std::unique_ptr<HostReadableFile>(new HostReadableFile(files, nullptr, host, windowsPath));
    if (!fs::is_regular_file(host, ec)) return nullptr;
    // O_NOFOLLOW: a link put at the name after the look above is not followed either.
    const int descriptor = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | (link ? 0 : O_NOFOLLOW));
    if (descriptor < 0) return nullptr;
    std::FILE* in = ::fdopen(descriptor, "rb");
    if (in == nullptr) {
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<HostReadableFile>(new HostReadableFile(files, in, host, windowsPath));
}

HostReadableFile::HostReadableFile(const HostFileSystem& files, std::FILE* in, fs::path host, std::wstring windowsPath)
    : files_(files), in_(in), host_(std::move(host)), windowsPath_(std::move(windowsPath)) {}

HostReadableFile::~HostReadableFile() {
    if (in_ != nullptr) std::fclose(in_);
}

std::uint64_t HostReadableFile::Size() {
    if (in_ == nullptr) return 0;
    std::error_code ec;
    const auto size = fs::file_size(host_, ec);
    if (ec) throw services::InputOutputError(L"Cannot read file \"" + windowsPath_ + L"\".");
    return size;
}

std::size_t HostReadableFile::Read(std::uint8_t* buffer, std::size_t size) {
    if (in_ == nullptr) return 0;
    const std::size_t got = std::fread(buffer, 1, size, in_);
    if (got == 0 && std::ferror(in_)) throw services::InputOutputError(L"Cannot read file \"" + windowsPath_ + L"\".");
    return got;
}

// What the open descriptor names, as GetFinalPathNameByHandleW names a
// handle's file; a link opened itself lies where its name is.
std::optional<std::wstring> HostReadableFile::RealPath() {
    std::error_code ec;
    const fs::path real = in_ == nullptr
                              ? fs::canonical(host_.parent_path(), ec) / host_.filename()
                              : fs::read_symlink("/proc/self/fd/" + std::to_string(::fileno(in_)), ec);
    if (ec) return std::nullopt;
    return files_.ToWindows(real);
}

}  // namespace kanvel::platform::host
