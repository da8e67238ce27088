#include "app/ServerRelease.h"

#include "services/http/DownloadUrlRule.h"
#include "services/installer/BuildSettings.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kUnusable = L"Nie można pobrać plików z serwera: ";
constexpr const wchar_t* kInUse = L"lista plików wydania ";
constexpr const wchar_t* kFiles = L" (plików: ";
constexpr const wchar_t* kFilesEnd = L"), każdy plik sprawdzany z listą";
constexpr const wchar_t* kWithout = L", pliki nie są sprawdzane z listą wydania";
}  // namespace

ServerRelease ServerRelease::Fetch(services::Platform platform, RunLog& log,
                                   const services::ProgramVerification& verification) {
    using services::ReleaseList;
    const std::wstring baseUrl(services::BuildDownloadBaseUrl());
    // A base URL the rule refuses is refused by every fetch, with its own text.
    if (services::JudgeDownloadUrl(baseUrl, services::BuildAllowsPlainHttp()) != services::DownloadUrlVerdict::Accepted)
        return {};
    const auto client = platform.http.CreateHttpClient();
    auto opening = ReleaseList::Fetch(platform.cryptography, *client, verification, baseUrl);
    if (opening.list) {
        log.Write(kSilentRunTitle, kInUse + opening.list->release() + kFiles +
                                       std::to_wstring(opening.list->list().files().size()) + kFilesEnd);
        return {std::move(opening.list), std::nullopt, {}};
    }
    if (!verification.Required() && opening.problem != ReleaseList::Problem::Refused) {
        log.Write(kSilentRunTitle, opening.reason + kWithout);
        return {};
    }
    const bool unreachable = opening.problem == ReleaseList::Problem::Unreachable;
    return {nullptr, unreachable ? ExitCode::DownloadFailed : ExitCode::ReleaseListRefused, kUnusable + opening.reason};
}

}  // namespace kanvel::app
