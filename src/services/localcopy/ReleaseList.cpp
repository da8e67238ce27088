#include "services/localcopy/ReleaseList.h"

#include "services/localcopy/LocalSource.h"
#include "services/localcopy/ServedList.h"
#include "services/trust/ListSignature.h"

namespace kanvel::services {

namespace {
// The short reasons that follow "Nieudane pobranie pliku: ", each naming the file.
constexpr const wchar_t* kNotListed = L"pliku nie ma na liście plików wydania: ";
constexpr const wchar_t* kNotAsListed = L"plik niezgodny z listą plików wydania: ";
// Why the list cannot be used.
constexpr const wchar_t* kListMissing = L"serwer nie ma listy plików wydania ";
constexpr const wchar_t* kListUnreachable = L"nie można pobrać listy plików wydania ";
constexpr const wchar_t* kListRefused = L"lista plików wydania odrzucona: ";
}  // namespace

ReleaseList::ReleaseList(LayoutList list, std::string text, std::optional<std::string> signature)
    : list_(std::move(list)), text_(std::move(text)), signature_(std::move(signature)) {}

ReleaseList::Opening ReleaseList::Fetch(Cryptography& cryptography, HttpClient& client,
                                        const ProgramVerification& verification, const std::wstring& baseUrl) {
    ServedList served = ServedList::Fetch(client, baseUrl);
    if (!served.text)
        return {nullptr, served.missing ? Problem::Missing : Problem::Unreachable,
                (served.missing ? kListMissing : kListUnreachable) + served.failure};
    return Judge(cryptography, verification, std::move(*served.text), std::move(served.signature));
}

ReleaseList::Opening ReleaseList::Judge(Cryptography& cryptography, const ProgramVerification& verification,
                                        std::string text, std::optional<std::string> signature) {
    // The signature first: nothing of a list that is not the maker's is read.
    if (const auto refusal = RefusalOfListSignature(cryptography, verification, text, signature))
        return {nullptr, Problem::Refused, kListRefused + *refusal};
    auto read = LayoutList::Read(text, *cryptography.StartSha256());
    if (!read.list) return {nullptr, Problem::Refused, kListRefused + read.refusal};
    return {std::unique_ptr<ReleaseList>(new ReleaseList(std::move(*read.list), std::move(text), std::move(signature))),
            Problem::None, {}};
}

void ReleaseList::Check(const std::wstring& serverPath, const FileFacts& arrived) const {
    const ListedFile* listed = list_.Find(serverPath);
    if (listed == nullptr) throw NotAsListed(kNotListed + serverPath);
    if (arrived.size != listed->size || arrived.sha256 != listed->sha256) throw NotAsListed(kNotAsListed + serverPath);
}

}  // namespace kanvel::services
