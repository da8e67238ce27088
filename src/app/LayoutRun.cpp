#include "app/LayoutRun.h"

#include <algorithm>

#include "app/LocationPreparation.h"
#include "app/ServerRelease.h"
#include "app/SilentPlatform.h"
#include "pages/install/ServerFiles.h"
#include "services/download/ComponentDownload.h"
#include "services/trust/FileDigest.h"
#include "services/installer/InstallerError.h"
#include "services/localcopy/LocalSource.h"
#include "services/download/UnwatchedView.h"
#include "services/paths/WindowsPath.h"
#include "services/trust/ListSignature.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kMaking = L"kopia plików serwera w folderze ";
constexpr const wchar_t* kFrom = L" z adresu ";
constexpr const wchar_t* kKept = L"bez zmian: ";
constexpr const wchar_t* kFetched = L"pobrano: ";
constexpr const wchar_t* kNotFetched = L"nie pobrano: ";
constexpr const wchar_t* kEarlierListRefused = L"wcześniejsza lista pominięta, pliki zostaną sprawdzone od nowa: ";
constexpr const wchar_t* kCannotCreate = L"nie można utworzyć folderu: ";
constexpr const wchar_t* kListWritten = L"lista plików kopii: ";
constexpr const wchar_t* kListNotWritten = L"nie zapisano listy plików kopii: ";
constexpr const wchar_t* kFilesBefore = L" (plików: ";
constexpr const wchar_t* kFilesAfter = L")";

bool Matches(const services::ListedFile* listed, const std::optional<services::FileFacts>& facts) {
    return listed != nullptr && facts && facts->size == listed->size && facts->sha256 == listed->sha256;
}

// The run's code once a file was not copied: a program not the maker's or a
// file not as the release's list names it outweighs a failed download.
ExitCode Worse(ExitCode code, services::FetchOutcome::Failure failure) {
    if (failure == services::FetchOutcome::Failure::Signature) return ExitCode::SignatureRefused;
    if (failure == services::FetchOutcome::Failure::NotAsListed) return ExitCode::SourceMismatch;
    return code == ExitCode::Success ? ExitCode::DownloadFailed : code;
}
}  // namespace

LayoutRun::LayoutRun(services::Platform platform, RunLog& log, std::wstring folder,
                     const services::ProgramVerification& verification)
    : platform_(platform), log_(log), folder_(std::move(folder)), verification_(verification) {}

ExitCode LayoutRun::Execute() {
    log_.Write(kSilentRunTitle, kMaking + folder_ + kFrom + std::wstring(services::BuildDownloadBaseUrl()));
    // A copy of the server is no installation: its folders take the rights
    // of the place the administrator chose for it.
    if (!MakeLocationReady(platform_, log_, folder_, std::nullopt)) return ExitCode::BadArguments;
    // The server's release list, when it has one, says what the copy holds,
    // and the copy holds it unchanged, with its signature.
    const ServerRelease release = ServerRelease::Fetch(platform_, log_, verification_);
    if (release.stop) {
        log_.Write(kSilentRunTitle, release.reason);
        return *release.stop;
    }
    const services::LayoutList earlier = release.list ? release.list->list() : earlierList();
    SilentPlatform silent(platform_, log_);
    const services::Platform withoutWindow = silent.platform();
    const auto client = platform_.http.CreateHttpClient();
    services::UnwatchedView view;
    services::ComponentDownload download(withoutWindow, *client, view, verification_);
    download.CheckAgainst(release.list.get());

    services::LayoutList list;
    ExitCode code = ExitCode::Success;
    for (const auto& file : filesToCopy(release.list.get())) {
        const std::wstring localPath = services::PathInCopy(folder_, file.path);
        const services::ListedFile* listed = earlier.Find(file.path);
        if (Matches(listed, services::FactsOfFile(platform_, localPath))) {
            list.Put(*listed);
            log_.Write(kSilentRunTitle, kKept + file.path);
            continue;
        }
        const auto outcome = makeFoldersFor(localPath)
                                 ? download.FetchServerFile(file.path, file.authenticate, file.program, localPath)
                                 : services::FetchOutcome{services::FetchOutcome::Result::Failed};
        const auto facts = outcome.failed() ? std::nullopt : services::FactsOfFile(platform_, localPath);
        if (!facts) {
            log_.Write(kSilentRunTitle, kNotFetched + file.path);
            code = Worse(code, outcome.failure);
            continue;
        }
        list.Put({file.path, facts->size, facts->sha256});
        log_.Write(kSilentRunTitle, kFetched + file.path);
    }
    const bool written = release.list ? writeReleaseList(*release.list) : writeList(list);
    if (!written) return ExitCode::UnexpectedError;
    return code;
}

// The files of the server's release list when there is one (the copy is
// then the server's tree), otherwise every file an installation may fetch.
// A listed file no installation asks for is fetched as files of its folder
// are: with the maker's credentials in the programs' folder.
std::vector<LayoutRun::CopiedFile> LayoutRun::filesToCopy(const services::ReleaseList* release) {
    std::vector<CopiedFile> known;
    for (const auto& file : install::EveryServerFile())
        known.push_back({file.Path(), file.authenticate,
                         services::EqualIgnoringCase(file.extension, install::kProgramExtension)});
    if (release == nullptr) return known;
    const std::wstring programsFolder = services::UpperCaseAscii(std::wstring(install::kProgramsServerFolder) + L"/");
    std::vector<CopiedFile> files;
    for (const auto& listed : release->list().files()) {
        const auto same = std::ranges::find_if(
            known, [&](const CopiedFile& file) { return services::EqualIgnoringCase(file.path, listed.path); });
        files.push_back(same != known.end()
                            ? *same
                            : CopiedFile{listed.path, services::UpperCaseAscii(listed.path).starts_with(programsFolder),
                                         false});
    }
    return files;
}

services::LayoutList LayoutRun::earlierList() {
    if (!platform_.files.FileExists(services::JoinPath(folder_, services::LayoutList::kFileName))) return {};
    // The earlier copy is only a guide to what need not be fetched again:
    // every file kept is checked against it, whoever signed it.
    const services::ProgramVerification anySigner(services::PublisherList{});
    auto opening = services::LocalSource::OpenFolder(platform_, anySigner, folder_);
    if (!opening.source) {
        log_.Write(kSilentRunTitle, kEarlierListRefused + opening.reason);
        return {};
    }
    return opening.source->list();
}

// The server's folders below the copy's, each level made when missing.
bool LayoutRun::makeFoldersFor(const std::wstring& path) {
    for (std::size_t end = path.find(L'\\', folder_.size() + 1); end != std::wstring::npos;
         end = path.find(L'\\', end + 1)) {
        const std::wstring level = path.substr(0, end);
        if (!platform_.files.DirectoryExists(level) && !platform_.files.MakeDirectory(level)) {
            log_.Write(kSilentRunTitle, kCannotCreate + level);
            return false;
        }
    }
    return true;
}

// The server's list and signature, byte for byte.
bool LayoutRun::writeReleaseList(const services::ReleaseList& release) {
    const std::wstring path = services::JoinPath(folder_, services::LayoutList::kFileName);
    const bool written = writeFile(path, release.text()) &&
                         (!release.signature() || writeFile(path + services::kListSignatureSuffix, *release.signature()));
    if (written)
        log_.Write(kSilentRunTitle, kListWritten + path + kFilesBefore +
                                        std::to_wstring(release.list().files().size()) + kFilesAfter);
    return written;
}

bool LayoutRun::writeFile(const std::wstring& path, const std::string& bytes) {
    try {
        auto file = platform_.files.CreateReplacingFile(path);
        file->Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        file->Commit();
    } catch (const services::InstallerError& e) {
        log_.Write(kSilentRunTitle, kListNotWritten + path + L": " + e.text());
        return false;
    }
    return true;
}

bool LayoutRun::writeList(const services::LayoutList& list) {
    const std::wstring path = services::JoinPath(folder_, services::LayoutList::kFileName);
    if (!writeFile(path, list.Text(*platform_.cryptography.StartSha256()))) return false;
    log_.Write(kSilentRunTitle,
               kListWritten + path + kFilesBefore + std::to_wstring(list.files().size()) + kFilesAfter);
    return true;
}

}  // namespace kanvel::app
