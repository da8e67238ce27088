#include "services/trust/FileDigest.h"

#include <array>

#include "services/installer/InstallerError.h"

namespace kanvel::services {

namespace {
constexpr std::size_t kReadBlock = 64 * 1024;

// Throws nothing and keeps nothing: the bytes only pass through the digest.
class NoSink : public ByteSink {
public:
    void Write(const std::uint8_t*, std::size_t) override {}
};
}  // namespace

std::optional<FileFacts> FactsOfFile(PlatformRoles<FileSystem, Cryptography> platform, const std::wstring& path) {
    const auto file = platform.get<FileSystem>().OpenForReading(path);
    if (!file) return std::nullopt;
    NoSink nowhere;
    DigestingSink digested(nowhere, platform.get<Cryptography>().StartSha256());
    std::array<std::uint8_t, kReadBlock> block{};
    try {
        while (const std::size_t got = file->Read(block.data(), block.size())) digested.Write(block.data(), got);
    } catch (const InputOutputError&) {
        return std::nullopt;
    }
    return digested.Finish();
}

DigestingSink::DigestingSink(ByteSink& inner, std::unique_ptr<Sha256Digest> digest)
    : inner_(inner), digest_(std::move(digest)) {}

void DigestingSink::Write(const std::uint8_t* data, std::size_t size) {
    inner_.Write(data, size);
    digest_->Add(data, size);
    size_ += size;
}

FileFacts DigestingSink::Finish() { return {size_, digest_->Finish()}; }

}  // namespace kanvel::services
