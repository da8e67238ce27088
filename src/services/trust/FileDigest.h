#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "services/http/HttpClient.h"
#include "services/system/Cryptography.h"
#include "services/system/FileSystem.h"
#include "services/system/PlatformRoles.h"

namespace kanvel::services {

// What a file holds, as far as a list of files is concerned.
struct FileFacts {
    std::uint64_t size = 0;
    Sha256 sha256{};

    bool operator==(const FileFacts&) const = default;
};

// The size and SHA-256 of a file as it is now; nothing when it cannot be read.
std::optional<FileFacts> FactsOfFile(PlatformRoles<FileSystem, Cryptography> platform, const std::wstring& path);

// Passes a body on to another sink, counting and digesting it on the way, so
// that what is judged is exactly what was written.
class DigestingSink : public ByteSink {
public:
    DigestingSink(ByteSink& inner, std::unique_ptr<Sha256Digest> digest);
    void Begin(const DeclaredBody& declared) override { inner_.Begin(declared); }
    void Write(const std::uint8_t* data, std::size_t size) override;
    std::uint64_t size() const { return size_; }
    // The facts of everything written; the sink takes nothing more after.
    FileFacts Finish();

private:
    ByteSink& inner_;
    std::unique_ptr<Sha256Digest> digest_;
    std::uint64_t size_ = 0;
};

}  // namespace kanvel::services
