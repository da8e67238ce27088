#include "services/trust/ListSignature.h"

#include <cstdio>

namespace kanvel::services {

namespace {
constexpr const wchar_t* kNoSignature = L"lista nie ma podpisu (brak pliku .p7s)";
constexpr const wchar_t* kNotTheMakers = L"podpis listy nie jest ważnym podpisem producenta";
constexpr const wchar_t* kSystemSays = L" (kod 0x";
constexpr const wchar_t* kSystemSaysEnd = L")";

std::wstring HexCode(std::int32_t code) {
    wchar_t text[9];
    std::swprintf(text, 9, L"%08X", static_cast<unsigned>(code));
    return text;
}
}  // namespace

std::optional<std::wstring> RefusalOfListSignature(Cryptography& cryptography, const ProgramVerification& verification,
                                                   std::string_view list, const std::optional<std::string>& signature) {
    if (!verification.Required()) return std::nullopt;
    if (!signature) return kNoSignature;
    const FileSignature verdict = cryptography.VerifyDetachedSignature(list, *signature);
    if (verification.Accepts(verdict)) return std::nullopt;
    if (verdict.trustStatus == FileSignature::kAccepted) return kNotTheMakers;
    return kNotTheMakers + (kSystemSays + HexCode(verdict.trustStatus)) + kSystemSaysEnd;
}

}  // namespace kanvel::services
