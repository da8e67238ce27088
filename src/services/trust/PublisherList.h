#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "services/trust/FileSignature.h"

namespace kanvel::services {

// The signers a build accepts as the maker of the programs it downloads and
// starts: the SHA-256 values of their certificates. More than one lets a
// renewed certificate take over from the old one.
class PublisherList {
public:
    PublisherList() = default;

    // Reads "value[;value...]": each value 64 hexadecimal digits in any case,
    // colons and blanks between them ignored (as certificate tools print
    // them); blank values are skipped, so empty text gives an empty list.
    // Anything malformed gives nothing.
    static std::optional<PublisherList> Parse(std::wstring_view text);

    bool empty() const { return signers_.empty(); }
    bool Contains(const Sha256& signer) const;

private:
    std::vector<Sha256> signers_;
};

}  // namespace kanvel::services
