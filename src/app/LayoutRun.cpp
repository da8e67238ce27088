#include "app/LayoutRun.h"

#include "app/LocationPreparation.h"
#include "app/SilentPlatform.h"
#include "pages/install/ServerFiles.h"
#include "services/download/ComponentDownload.h"
#include "services/trust/FileDigest.h"
#include "services/installer/InstallerError.h"
#include "services/localcopy/LocalSource.h"
#include "services/download/UnwatchedView.h"
#include "services/paths/WindowsPath.h"

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
}  // namespace

LayoutRun::LayoutRun(services::Platform platform, RunLog& log, std::wstring folder,
                     const services::ProgramVerification& verification)
    : platform_(platform), log_(log), folder_(std::move(folder)), verification_(verification) {}

ExitCode LayoutRun::Execute() {
    log_.Write(kSilentRunTitle, kMaking + folder_ + kFrom + std::wstring(services::BuildDownloadBaseUrl()));
    // A copy of the server is no installation: its folders take the rights
    // of the place the administrator chose for it.
    if (!MakeLocationReady(platform_, log_, folder_, std::nullopt)) return ExitCode::BadArguments;
    const services::LayoutList earlier = earlierList();
    SilentPlatform silent(platform_, log_);
    const services::Platform withoutWindow = silent.platform();
    const auto client = platform_.http.CreateHttpClient();
    services::UnwatchedView view;
    services::ComponentDownload download(withoutWindow, *client, view, verification_);

    services::LayoutList list;
    ExitCode code = ExitCode::Success;
    for (const auto& file : install::EveryServerFile()) {
        const std::wstring serverPath = file.Path();
        const std::wstring localPath = services::PathInCopy(folder_, serverPath);
        const services::ListedFile* listed = earlier.Find(serverPath);
        if (Matches(listed, services::FactsOfFile(platform_, localPath))) {
            list.Put(*listed);
            log_.Write(kSilentRunTitle, kKept + serverPath);
            continue;
        }
        const bool program = services::EqualIgnoringCase(file.extension, install::kProgramExtension);
        const auto outcome = makeFoldersFor(localPath)
                                 ? download.FetchServerFile(serverPath, file.authenticate, program, localPath)
                                 : services::FetchOutcome{services::FetchOutcome::Result::Failed};
        const auto facts = outcome.failed() ? std::nullopt : services::FactsOfFile(platform_, localPath);
        if (!facts) {
            log_.Write(kSilentRunTitle, kNotFetched + serverPath);
            if (code == ExitCode::Success) code = ExitCode::DownloadFailed;
            if (outcome.failure == services::FetchOutcome::Failure::Signature) code = ExitCode::SignatureRefused;
            continue;
        }
        list.Put({serverPath, facts->size, facts->sha256});
        log_.Write(kSilentRunTitle, kFetched + serverPath);
    }
    if (!writeList(list)) return ExitCode::UnexpectedError;
    return code;
}

services::LayoutList LayoutRun::earlierList() {
    if (!platform_.files.FileExists(services::JoinPath(folder_, services::LayoutList::kFileName))) return {};
    auto opening = services::LocalSource::OpenFolder(platform_, folder_);
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

bool LayoutRun::writeList(const services::LayoutList& list) {
    const std::wstring path = services::JoinPath(folder_, services::LayoutList::kFileName);
    try {
        const std::string text = list.Text(*platform_.cryptography.StartSha256());
        auto file = platform_.files.CreateReplacingFile(path);
        file->Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        file->Commit();
    } catch (const services::InstallerError& e) {
        log_.Write(kSilentRunTitle, kListNotWritten + path + L": " + e.text());
        return false;
    }
    log_.Write(kSilentRunTitle,
               kListWritten + path + kFilesBefore + std::to_wstring(list.files().size()) + kFilesAfter);
    return true;
}

}  // namespace kanvel::app
