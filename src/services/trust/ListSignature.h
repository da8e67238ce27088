#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "services/system/Cryptography.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::services {

// The name of a list's detached signature beside the list.
inline constexpr const wchar_t* kListSignatureSuffix = L".p7s";

// Whether a list of files (the server's release list, a copy's list) is the
// maker's: in a build that names the maker (KANVEL_PUBLISHER) only a list
// whose detached CMS signature the system accepts (the signature against
// the list's bytes, the signer's chain for code signing, as of now), made
// by one of the named certificates while it is valid, as a program's
// signature is judged. A build without a publisher has nobody to hold the
// signature against and accepts the list as it is. Nothing when the list is
// accepted; otherwise why not, a short Polish text.
std::optional<std::wstring> RefusalOfListSignature(Cryptography& cryptography, const ProgramVerification& verification,
                                                   std::string_view list, const std::optional<std::string>& signature);

}  // namespace kanvel::services
