#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "services/system/ReplacingFile.h"

namespace kanvel::platform::host {

// How the test platform tells the signature of a file: from its bytes.
using SignatureReader = std::function<services::FileSignature(const std::string& content)>;

// The replacing file of the test platform: the partial file beside the
// target, renamed over it on commit. As on Windows, whatever lies at the
// partial file's name is removed as itself (a link as the link) and the
// partial file is then made new, never written through anything.
class HostReplacingFile : public services::ReplacingFile {
public:
    HostReplacingFile(std::filesystem::path target, std::filesystem::path partial, std::wstring windowsPath,
                      const SignatureReader& signatures);
    ~HostReplacingFile() override;
    // Writes after what a kept partial file holds; nothing when no plain
    // file lies at its name.
    static std::unique_ptr<HostReplacingFile> Continue(std::filesystem::path target, std::filesystem::path partial,
                                                       std::wstring windowsPath, const SignatureReader& signatures);

    // Each write uses up the room left on the volume (nothing: no limit);
    // a write that does not fit fails as on a full volume, writing nothing.
    void TakeRoomFrom(std::optional<std::uint64_t>& room) { room_ = &room; }

    void Write(const std::uint8_t* data, std::size_t size) override;
    services::FileSignature Signature() override;
    void Commit() override;
    std::int64_t Size() override;
    void Restart() override;
    void KeepPartial() override;

private:
    HostReplacingFile(std::filesystem::path target, std::filesystem::path partial, std::wstring windowsPath,
                      const SignatureReader& signatures, std::FILE* kept);

    std::filesystem::path target_;
    std::filesystem::path partial_;
    std::wstring windowsPath_;
    const SignatureReader& signatures_;
    std::FILE* out_ = nullptr;
    std::optional<std::uint64_t>* room_ = nullptr;
    bool committed_ = false;
    bool keep_ = false;
};

}  // namespace kanvel::platform::host
