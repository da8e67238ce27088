#include "services/localcopy/LocalSource.h"

#include <vector>

#include "services/paths/InstallationBoundary.h"
#include "services/localcopy/ServedList.h"
#include "services/paths/WindowsPath.h"
#include "services/trust/ListSignature.h"

namespace kanvel::services {

namespace {
constexpr std::size_t kReadBlock = 64 * 1024;

// The short reasons that follow "Nieudane pobranie pliku: ", each naming the file.
constexpr const wchar_t* kNotListed = L"pliku nie ma na liście plików kopii: ";
constexpr const wchar_t* kNotAsListed = L"plik niezgodny z listą plików kopii: ";
constexpr const wchar_t* kMissingInCopy = L"brak pliku w kopii: ";
constexpr const wchar_t* kOutsideCopy = L"plik jest dowiązaniem lub leży poza folderem kopii: ";
// Why a copy cannot be used at all.
constexpr const wchar_t* kListUnreadable = L"nie można odczytać listy plików kopii ";
constexpr const wchar_t* kListRefused = L"lista plików kopii odrzucona (";
constexpr const wchar_t* kListOutsideCopy = L"lista jest dowiązaniem lub leży poza folderem kopii";

// A file of the copy opened as it lies: a link at its name is opened itself,
// not followed, so that it can be told apart.
struct FileInCopy {
    std::unique_ptr<ReadableFile> file;
    // A link, or a file that a linked folder on the way puts outside the copy.
    bool outside = false;
};

FileInCopy OpenInCopy(FileSystem& files, const std::wstring& realRoot, const std::wstring& path) {
    FileInCopy opened{files.OpenEntryForReading(path)};
    if (!opened.file) return opened;
    const auto realPath = opened.file->RealPath();
    opened.outside = opened.file->IsLink() || !realPath || !LiesWithin(*realPath, realRoot);
    return opened;
}

// A small file of the copy (its list, the list's signature) read whole:
// its text, nothing when it is not there; or that it lies outside the copy,
// or could not be read.
struct CopyFileText {
    std::optional<std::string> text;
    bool outside = false;
    bool unreadable = false;
};

CopyFileText ReadInCopy(FileSystem& files, const std::wstring& realRoot, const std::wstring& path) {
    const auto [file, outside] = OpenInCopy(files, realRoot, path);
    if (!file || outside) return {std::nullopt, outside, false};
    ListBytes sink;
    try {
        std::vector<std::uint8_t> block(kReadBlock);
        while (const std::size_t got = file->Read(block.data(), block.size())) sink.Write(block.data(), got);
    } catch (const InstallerError&) {
        return {std::nullopt, false, true};
    }
    return {std::move(sink.bytes), false, false};
}
}  // namespace

std::wstring PathInCopy(const std::wstring& folder, const std::wstring& serverPath) {
    std::wstring relative = serverPath;
    for (wchar_t& c : relative)
        if (c == L'/') c = L'\\';
    return JoinPath(folder, relative);
}

LocalSource::LocalSource(Kind kind, std::wstring location, std::wstring realFolder, LayoutList list)
    : kind_(kind), location_(std::move(location)), realFolder_(std::move(realFolder)), list_(std::move(list)) {}

LocalSource::Opening LocalSource::OpenFolder(PlatformRoles<FileSystem, Cryptography> platform,
                                             const ProgramVerification& verification, const std::wstring& folder) {
    const std::wstring listPath = JoinPath(folder, LayoutList::kFileName);
    auto& files = platform.get<FileSystem>();
    const auto realFolder = files.RealPath(folder);
    if (!realFolder) return {nullptr, Problem::Unreachable, kListUnreadable + listPath};
    const CopyFileText list = ReadInCopy(files, *realFolder, listPath);
    const CopyFileText signature = ReadInCopy(files, *realFolder, listPath + kListSignatureSuffix);
    for (const CopyFileText* read : {&list, &signature}) {
        if (read->outside)
            return {nullptr, Problem::ListRefused, kListRefused + std::wstring(kListOutsideCopy) + L"): " + folder};
        if (read->unreadable) return {nullptr, Problem::Unreachable, kListUnreadable + listPath};
    }
    if (!list.text) return {nullptr, Problem::Unreachable, kListUnreadable + listPath};
    return Judged(Kind::Folder, folder, *realFolder, platform.get<Cryptography>(), verification, *list.text,
                  signature.text);
}

LocalSource::Opening LocalSource::OpenAddress(Cryptography& cryptography, const ProgramVerification& verification,
                                              HttpClient& client, const std::wstring& address) {
    const ServedList served = ServedList::Fetch(client, address);
    if (!served.text) return {nullptr, Problem::Unreachable, kListUnreadable + served.failure};
    return Judged(Kind::Address, address, std::wstring(), cryptography, verification, *served.text, served.signature);
}

LocalSource::Opening LocalSource::Judged(Kind kind, const std::wstring& location, const std::wstring& realFolder,
                                         Cryptography& cryptography, const ProgramVerification& verification,
                                         const std::string& text, const std::optional<std::string>& signature) {
    if (const auto refusal = RefusalOfListSignature(cryptography, verification, text, signature))
        return {nullptr, Problem::SignatureRefused, kListRefused + *refusal + L"): " + location};
    auto read = LayoutList::Read(text, *cryptography.StartSha256());
    if (!read.list) return {nullptr, Problem::ListRefused, kListRefused + read.refusal + L"): " + location};
    return {std::unique_ptr<LocalSource>(new LocalSource(kind, location, realFolder, std::move(*read.list))),
            Problem::None, {}};
}

const ListedFile& LocalSource::Listed(const std::wstring& serverPath) const {
    const ListedFile* listed = list_.Find(serverPath);
    if (listed == nullptr) throw NotAsListed(kNotListed + serverPath);
    return *listed;
}

DeclaredBody LocalSource::Deliver(FileSystem& files, HttpClient& client, const std::wstring& serverPath,
                                  ByteSink& body) const {
    if (kind_ == Kind::Folder) return fromFolder(files, client, serverPath, body);
    // The maker's credentials are for the maker's server only: none go.
    return client.Get({location_ + serverPath}, body);
}

// Read in blocks, each reported as a transfer reports what has arrived, so
// that the view shows the same progress and the window answers between blocks.
// Only a file that lies in the copy itself is read: whoever may put a link
// into the copy must not make the installer read a file from elsewhere.
DeclaredBody LocalSource::fromFolder(FileSystem& files, HttpClient& client, const std::wstring& serverPath,
                                     ByteSink& body) const {
    const auto [file, outside] = OpenInCopy(files, realFolder_, PathInCopy(location_, serverPath));
    if (!file) throw InstallerError(kMissingInCopy + serverPath);
    if (outside) throw NotAsListed(kOutsideCopy + serverPath);
    DeclaredBody declared;
    declared.length = static_cast<std::int64_t>(file->Size());
    if (client.OnWorkBegin) client.OnWorkBegin(client, WorkMode::Reading, *declared.length);
    std::vector<std::uint8_t> block(kReadBlock);
    std::int64_t done = 0;
    while (const std::size_t got = file->Read(block.data(), block.size())) {
        body.Write(block.data(), got);
        done += static_cast<std::int64_t>(got);
        if (client.OnWork) client.OnWork(client, WorkMode::Reading, done);
    }
    if (client.OnWorkEnd) client.OnWorkEnd(client, WorkMode::Reading);
    return declared;
}

void LocalSource::Check(const ListedFile& listed, const FileFacts& arrived) const {
    if (arrived.size != listed.size || arrived.sha256 != listed.sha256) throw NotAsListed(kNotAsListed + listed.path);
}

}  // namespace kanvel::services
