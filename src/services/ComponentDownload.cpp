#include "services/ComponentDownload.h"

#include <new>
#include <optional>

#include "services/CountingSink.h"
#include "services/DownloadUrlRule.h"
#include "services/InstallerError.h"
#include "services/ProgressScale.h"
#include "services/WindowsPath.h"

namespace kanvel::services {

namespace {
constexpr const wchar_t* kUsername = L"kanvel8";
constexpr const wchar_t* kPassword = L"tormik584";
constexpr const wchar_t* kStatusPrefix = L"Pobranie pliku: ";
constexpr const wchar_t* kReplaceNotice = L"zostanie zastąpiony nową wersją.";
constexpr const wchar_t* kConnectionFailure = L"Błąd połączenia z internetem";
constexpr const wchar_t* kOtherFailure = L"Nieudane pobranie pliku: ";
constexpr const wchar_t* kConnectionMarker = L"Socket";
constexpr const wchar_t* kServerExtensionPrefix = L"._";
constexpr const wchar_t* kOutOfMemory = L"Out of memory";
constexpr int kProgressMaxWithoutSize = 100;
constexpr const wchar_t* kProgramExtension = L"exe";

// Why a file is not stored: the short reasons that follow kOtherFailure.
constexpr const wchar_t* kNoDeclaredLength = L"serwer nie podał długości pliku";
constexpr const wchar_t* kChunkedBody = L"serwer przysłał plik w częściach, bez podanej długości";
constexpr const wchar_t* kShortBodyBefore = L"plik niekompletny, odebrano ";
constexpr const wchar_t* kLongBodyBefore = L"plik dłuższy, niż zapowiedział serwer: odebrano ";
constexpr const wchar_t* kBodyCountBetween = L" z ";
constexpr const wchar_t* kBodyCountAfter = L" bajtów";
constexpr const wchar_t* kNotTheMakersSignature = L"plik nie ma ważnego podpisu cyfrowego producenta";
constexpr const wchar_t* kMalformedServerAddress = L"nieprawidłowy adres serwera";
constexpr const wchar_t* kUnencryptedServerAddress = L"połączenie z serwerem nie byłoby szyfrowane (http://)";

std::wstring WithExtension(const std::wstring& name, const std::wstring& extension, const wchar_t* separator) {
    return extension.empty() ? name : name + separator + extension;
}

// Clears the running mark however the call ends.
class RunningMark {
public:
    explicit RunningMark(bool& running) : running_(running) { running_ = true; }
    ~RunningMark() { running_ = false; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    bool& running_;
};

// A program file whose signature is not the maker's.
class SignatureRefused : public InstallerError {
public:
    SignatureRefused() : InstallerError(kNotTheMakersSignature) {}
};

// Why the body is not known to be whole; nothing when it is: the answer
// declared its length and exactly that many bytes arrived.
std::optional<std::wstring> IncompleteBodyReason(const DeclaredBody& declared, std::int64_t received) {
    if (declared.chunked) return kChunkedBody;
    if (!declared.length) return kNoDeclaredLength;
    if (received == *declared.length) return std::nullopt;
    const std::wstring counts =
        std::to_wstring(received) + kBodyCountBetween + std::to_wstring(*declared.length) + kBodyCountAfter;
    return (received < *declared.length ? kShortBodyBefore : kLongBodyBefore) + counts;
}
}  // namespace

std::wstring ServerPath(const std::wstring& serverFolder, const std::wstring& fileName, const std::wstring& extension) {
    return serverFolder + L"/" + WithExtension(fileName, extension, kServerExtensionPrefix);
}

ComponentDownload::ComponentDownload(PlatformOperations& platform, HttpClient& client, DownloadView& view,
                                     const ProgramVerification& verification, std::wstring baseUrl,
                                     bool plainHttpAllowed)
    : platform_(platform),
      client_(client),
      view_(view),
      verification_(verification),
      ahead_(platform, client),
      baseUrl_(std::move(baseUrl)),
      plainHttpAllowed_(plainHttpAllowed) {
    client_.OnWorkBegin = [this](HttpClient&, WorkMode, std::int64_t expected) { WorkBegin(expected); };
    client_.OnWork = [this](HttpClient&, WorkMode, std::int64_t done) { Work(done); };
    client_.OnWorkEnd = [](HttpClient&, WorkMode) {};
    client_.OnWait = [this](HttpClient&) { KeepWorkingOrStop(); };
}

FetchOutcome ComponentDownload::Fetch(std::wstring serverFolder, std::wstring fileName, std::wstring extension,
                                      bool authenticate, std::wstring targetFolder) {
    // One client, one transfer: a click delivered by the message pump of a
    // running transfer must not start another on the same client.
    if (running_) return {FetchOutcome::Result::Refused};
    const std::wstring localName = WithExtension(fileName, extension, L".");
    const std::wstring localPath = JoinPath(targetFolder, localName);
    if (!authenticate && platform_.FileExists(localPath)) return {FetchOutcome::Result::AlreadyThere};

    const std::wstring status = kStatusPrefix + localName;
    view_.ShowStatus(status);
    RunningMark mark(running_);
    FetchOutcome outcome{FetchOutcome::Result::Fetched};
    const auto failure = attempt([&] {
        useCredentials(authenticate);
        // Without authentication the file was found missing just above, and
        // nothing has run since that could have made it: no second look.
        const bool replacing = authenticate && platform_.FileExists(localPath);
        if (replacing && extension.empty()) {
            outcome.result = FetchOutcome::Result::KeptWithoutExtension;
            return;
        }
        if (replacing) view_.ShowReplaceNotice(localPath + L"\r" + kReplaceNotice);
        view_.ShowStatus(status);
        KeepWorkingOrStop();
        const std::wstring serverPath = ServerPath(serverFolder, fileName, extension);
        const bool program = EqualIgnoringCase(extension, kProgramExtension);
        if (source_ != nullptr) {
            copyFromSource(serverPath, localPath, program);
        } else {
            checkBaseUrl();
            transfer(baseUrl_ + serverPath, localPath, program);
        }
    });
    return failure ? failed(failure->text, failure->kind) : outcome;
}

FetchOutcome ComponentDownload::FetchServerFile(const std::wstring& serverPath, bool authenticate, bool program,
                                                const std::wstring& localPath) {
    if (running_) return {FetchOutcome::Result::Refused};
    view_.ShowStatus(kStatusPrefix + serverPath);
    RunningMark mark(running_);
    const auto failure = attempt([&] {
        useCredentials(authenticate);
        checkBaseUrl();
        transfer(baseUrl_ + serverPath, localPath, program);
    });
    return failure ? failed(failure->text, failure->kind) : FetchOutcome{FetchOutcome::Result::Fetched};
}

// Whatever the work throws becomes the failure it is; a transfer broken off
// by the user goes on up. Either way the view is cleared.
std::optional<ComponentDownload::Failure> ComponentDownload::attempt(const std::function<void()>& work) {
    std::optional<Failure> failure;
    try {
        work();
    } catch (const BrokenOff&) {
        ahead_.Drop();
        view_.SetProgressPosition(0);
        view_.ShowStatus(std::wstring());
        throw;
    } catch (const SignatureRefused& e) {
        failure = Failure{FetchOutcome::Failure::Signature, e.text()};
    } catch (const NotAsListed& e) {
        failure = Failure{FetchOutcome::Failure::NotAsListed, e.text()};
    } catch (const InstallerError& e) {
        failure = Failure{FetchOutcome::Failure::Other, e.text()};
    } catch (const std::bad_alloc&) {
        failure = Failure{FetchOutcome::Failure::Other, kOutOfMemory};
    } catch (const std::exception& e) {
        const std::string what = e.what();
        failure = Failure{FetchOutcome::Failure::Other, std::wstring(what.begin(), what.end())};
    }
    view_.SetProgressPosition(0);
    view_.ShowStatus(std::wstring());
    return failure;
}

void ComponentDownload::WorkBegin(std::int64_t expected) {
    progressShift_ = ProgressShiftFor(expected);
    view_.SetProgressRange(expected > 0 ? ScaledProgress(expected, progressShift_) : kProgressMaxWithoutSize);
    view_.SetProgressPosition(0);
}

void ComponentDownload::Work(std::int64_t done) {
    view_.SetProgressPosition(ScaledProgress(done, progressShift_));
    KeepWorkingOrStop();
}

void ComponentDownload::KeepWorkingOrStop() {
    if (!view_.KeepWorking()) throw BrokenOff();
}

void ComponentDownload::useCredentials(bool authenticate) {
    client_.BasicAuthentication = authenticate;
    if (!authenticate) return;
    client_.Username = kUsername;
    client_.Password = kPassword;
}

// The configure checked the base URL already; the program checks it again,
// with a parser of its own, before anything leaves the machine.
void ComponentDownload::checkBaseUrl() const {
    switch (JudgeDownloadUrl(baseUrl_, plainHttpAllowed_)) {
        case DownloadUrlVerdict::Accepted: return;
        case DownloadUrlVerdict::Malformed: throw InstallerError(kMalformedServerAddress);
        case DownloadUrlVerdict::PlainHttpToAnotherMachine: throw InstallerError(kUnencryptedServerAddress);
    }
}

void ComponentDownload::ExpectNext(const std::wstring& serverFolder, const std::vector<std::wstring>& fileNames,
                                   const std::wstring& targetFolder) {
    // Files of a local copy are read one by one, as they are checked.
    std::vector<FetchAhead::PlannedFile> missing;
    if (source_ == nullptr && JudgeDownloadUrl(baseUrl_, plainHttpAllowed_) == DownloadUrlVerdict::Accepted) {
        for (const std::wstring& name : fileNames) {
            const std::wstring localPath = JoinPath(targetFolder, name);
            if (!platform_.FileExists(localPath))
                missing.push_back({baseUrl_ + ServerPath(serverFolder, name, std::wstring()), localPath});
        }
    }
    useCredentials(false);
    ahead_.Plan(std::move(missing));
}

void ComponentDownload::transfer(const std::wstring& url, const std::wstring& localPath, bool program) {
    // The body goes to the local file's partial file, which replaces it only
    // once the whole body is on disk and judged; on failure the old file
    // stays as it was and the partial file goes.
    if (auto ahead = ahead_.Take(url, localPath)) {
        const DeclaredBody declared = client_.Finish(*ahead->get);
        store(*ahead->file, declared, ahead->counted->total(), program);
        return;
    }
    auto file = platform_.CreateReplacingFile(localPath);
    CountingSink counted(*file);
    const DeclaredBody declared = client_.Get(url, counted);
    store(*file, declared, counted.total(), program);
}

void ComponentDownload::store(ReplacingFile& file, const DeclaredBody& declared, std::int64_t received,
                              bool program) {
    if (const auto reason = IncompleteBodyReason(declared, received)) throw InstallerError(*reason);
    if (program) checkSignature(file);
    file.Commit();
}

// A file of a local copy: checked against the copy's list (size and
// SHA-256 of the very bytes written) while it is still the partial file,
// then as any file from the server is.
void ComponentDownload::copyFromSource(const std::wstring& serverPath, const std::wstring& localPath, bool program) {
    const ListedFile& listed = source_->Listed(serverPath);
    auto file = platform_.CreateReplacingFile(localPath);
    DigestingSink digested(*file, platform_.StartSha256());
    const DeclaredBody declared = source_->Deliver(platform_, client_, serverPath, digested);
    const auto size = static_cast<std::int64_t>(digested.size());
    if (const auto reason = IncompleteBodyReason(declared, size)) throw InstallerError(*reason);
    source_->Check(listed, digested.Finish());
    if (program) checkSignature(*file);
    file->Commit();
}

void ComponentDownload::checkSignature(ReplacingFile& file) const {
    if (verification_.Required() && !verification_.Accepts(file.Signature())) throw SignatureRefused();
}

FetchOutcome ComponentDownload::failed(const std::wstring& errorText, FetchOutcome::Failure kind) {
    ahead_.Drop();
    const bool connection =
        kind == FetchOutcome::Failure::Other && errorText.find(kConnectionMarker) != std::wstring::npos;
    if (connection) kind = FetchOutcome::Failure::Connection;
    FetchOutcome outcome{FetchOutcome::Result::Failed, kind,
                         connection ? std::wstring(kConnectionFailure) : kOtherFailure + errorText};
    platform_.ShowMessage(outcome.message);
    return outcome;
}

}  // namespace kanvel::services
