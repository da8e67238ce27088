#include "services/download/ComponentDownload.h"

#include <array>
#include <new>
#include <optional>

#include "services/download/CountingSink.h"
#include "services/http/DownloadUrlRule.h"
#include "services/installer/InstallerError.h"
#include "services/download/PartialFilePath.h"
#include "services/download/ProgressScale.h"
#include "services/http/TransientFailure.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::services {

namespace {
constexpr const wchar_t* kUsername = L"kanvel8";
constexpr const wchar_t* kPassword = L"tormik584";
constexpr const wchar_t* kStatusPrefix = L"Pobranie pliku: ";
constexpr const wchar_t* kReplaceNotice = L"zostanie zastąpiony nową wersją.";
constexpr const wchar_t* kConnectionFailure = L"Błąd połączenia z internetem";
constexpr const wchar_t* kOtherFailure = L"Nieudane pobranie pliku: ";
constexpr const wchar_t* kServerExtensionPrefix = L"._";
constexpr const wchar_t* kOutOfMemory = L"Out of memory";
constexpr int kProgressMaxWithoutSize = 100;
constexpr const wchar_t* kProgramExtension = L"exe";
constexpr const wchar_t* kRetryStatusBefore = L"Ponowna próba pobrania (";
constexpr const wchar_t* kRetryStatusAfter = L")...";
// The pauses before the first, second and third retry: a server that is
// restarting gets some time, a user is not kept waiting long.
constexpr std::array kRetryPausesMs{1000, 3000, 9000};
constexpr int kRetries = static_cast<int>(kRetryPausesMs.size());
constexpr const wchar_t* kWeakValidatorPrefix = L"W/";

// Why a file is not stored: the short reasons that follow kOtherFailure.
constexpr const wchar_t* kNotTheMakersSignature = L"plik nie ma ważnego podpisu cyfrowego producenta";
constexpr const wchar_t* kMalformedServerAddress = L"nieprawidłowy adres serwera";
constexpr const wchar_t* kUnencryptedServerAddress = L"połączenie z serwerem nie byłoby szyfrowane (http://)";
constexpr const wchar_t* kNotEnoughSpace = L"za mało wolnego miejsca na dysku, aby zapisać plik ";

// The maker's credentials, for the calls that authenticate.
std::optional<ServerCredentials> CredentialsFor(bool authenticate) {
    if (!authenticate) return std::nullopt;
    return ServerCredentials{kUsername, kPassword};
}

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
// `held` bytes were there from an earlier try; a part (206) must end where
// the whole body does.
void CheckBodyComplete(const DeclaredBody& declared, std::int64_t received, std::int64_t held) {
    if (declared.chunked) throw TransferFailure::Body(BodyFault::Chunked);
    if (!declared.length) throw TransferFailure::Body(BodyFault::NoLength);
    const std::int64_t expected = declared.partial ? declared.completeLength.value_or(-1) : *declared.length;
    const std::int64_t total = held + received;
    if (received == *declared.length && total == expected) return;
    const BodyFault fault = received < *declared.length ? BodyFault::CutShort : BodyFault::TooLong;
    throw TransferFailure::Body(fault, total, held + *declared.length);
}

// A body of the declared length is refused before a byte of it is written
// when the volume's free space cannot hold it.
void CheckRoomFor(FileSystem& files, const std::wstring& folder, std::uint64_t length) {
    const auto free = files.FreeBytes(folder);
    if (free && length > *free) throw DiskFull(kNotEnoughSpace);
}

}  // namespace

// Goes on after what the partial file holds when the server sends the rest
// (206 from there), starts it anew when the server sends the whole body.
// It digests every byte the partial file holds, the kept part included
// (`digest` holds that part's), so that the file is judged by exactly what
// was written.
class ResumingSink : public ByteSink {
public:
    ResumingSink(ReplacingFile& file, std::int64_t& held, FileSystem& files, std::wstring folder,
                 Cryptography& cryptography, std::unique_ptr<Sha256Digest> digest)
        : file_(file), held_(held), files_(files), folder_(std::move(folder)), cryptography_(cryptography),
          digest_(digest ? std::move(digest) : cryptography.StartSha256()) {}
    void Begin(const DeclaredBody& declared) override {
        declared_ = declared;
        if (held_ > 0) {
            if (!declared.partial) {
                file_.Restart();
                held_ = 0;
                digest_ = cryptography_.StartSha256();
            } else if (declared.rangeStart != held_) {
                throw TransferFailure::Body(BodyFault::WrongPart);
            }
        }
        if (declared.length > 0) CheckRoomFor(files_, folder_, static_cast<std::uint64_t>(*declared.length));
    }
    void Write(const std::uint8_t* data, std::size_t size) override {
        file_.Write(data, size);
        digest_->Add(data, size);
        received_ += static_cast<std::int64_t>(size);
    }
    std::int64_t received() const { return received_; }
    const DeclaredBody& declared() const { return declared_; }
    // The bytes digested so far, and the digest itself (the sink takes nothing more after).
    std::int64_t digested() const { return held_ + received_; }
    std::unique_ptr<Sha256Digest> TakeDigest() { return std::move(digest_); }

private:
    ReplacingFile& file_;
    std::int64_t& held_;
    FileSystem& files_;
    std::wstring folder_;
    Cryptography& cryptography_;
    std::unique_ptr<Sha256Digest> digest_;
    std::int64_t received_ = 0;
    DeclaredBody declared_;
};

namespace {
// The validator a later request can name in If-Range: a strong ETag, else
// the Last-Modified date; empty when the server gave neither.
std::wstring ValidatorOf(const DeclaredBody& declared) {
    if (!declared.entityTag.empty() && !declared.entityTag.starts_with(kWeakValidatorPrefix)) return declared.entityTag;
    return declared.lastModified;
}
}  // namespace

std::wstring ServerPath(const std::wstring& serverFolder, const std::wstring& fileName, const std::wstring& extension) {
    return serverFolder + L"/" + WithExtension(fileName, extension, kServerExtensionPrefix);
}

ComponentDownload::ComponentDownload(PlatformRoles<FileSystem, Cryptography, Clock, Screen> platform,
                                     HttpClient& client, DownloadView& view,
                                     const ProgramVerification& verification, std::wstring baseUrl,
                                     bool plainHttpAllowed)
    : files_(platform.get<FileSystem>()),
      cryptography_(platform.get<Cryptography>()),
      clock_(platform.get<Clock>()),
      screen_(platform.get<Screen>()),
      client_(client),
      view_(view),
      verification_(verification),
      ahead_(files_, cryptography_, client),
      baseUrl_(std::move(baseUrl)),
      plainHttpAllowed_(plainHttpAllowed) {
    client_.OnWorkBegin = [this](HttpClient&, WorkMode, std::int64_t expected) { WorkBegin(expected); };
    client_.OnWork = [this](HttpClient&, WorkMode, std::int64_t done) { Work(done); };
    client_.OnWorkEnd = [](HttpClient&, WorkMode) {};
    client_.OnWait = [this](HttpClient&) { KeepWorkingOrStop(); };
    client_.OnProxySignIn = [this](HttpClient&, const std::wstring& proxy) { return view_.AskProxySignIn(proxy); };
}

FetchOutcome ComponentDownload::Fetch(std::wstring serverFolder, std::wstring fileName, std::wstring extension,
                                      bool authenticate, std::wstring targetFolder) {
    // One client, one transfer: a click delivered by the message pump of a
    // running transfer must not start another on the same client.
    if (running_) return {FetchOutcome::Result::Refused};
    const std::wstring localName = WithExtension(fileName, extension, L".");
    const std::wstring localPath = JoinPath(targetFolder, localName);
    if (!authenticate && files_.FileExists(localPath)) return {FetchOutcome::Result::AlreadyThere};

    const std::wstring status = kStatusPrefix + localName;
    view_.ShowStatus(status);
    RunningMark mark(running_);
    FetchOutcome outcome{FetchOutcome::Result::Fetched};
    const auto failure = attempt(localPath, [&] {
        // Without authentication the file was found missing just above, and
        // nothing has run since that could have made it: no second look.
        const bool replacing = authenticate && files_.FileExists(localPath);
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
            transfer({baseUrl_ + serverPath, std::nullopt, CredentialsFor(authenticate)}, serverPath, localPath,
                     program);
        }
    });
    return failure ? failed(failure->text, failure->kind) : outcome;
}

std::optional<std::uint64_t> ComponentDownload::PlannedSize(const std::wstring& serverFolder,
                                                            const std::wstring& fileName, const std::wstring& extension,
                                                            bool authenticate, const std::wstring& targetFolder) const {
    if (!authenticate && files_.FileExists(JoinPath(targetFolder, WithExtension(fileName, extension, L"."))))
        return 0;
    if (source_ == nullptr) return std::nullopt;
    try {
        return source_->Listed(ServerPath(serverFolder, fileName, extension)).size;
    } catch (const NotAsListed&) {
        return std::nullopt;  // its own fetch refuses it
    }
}

std::optional<ComponentDownload::RunTooLarge> ComponentDownload::CheckRoomForRun(const std::wstring& folder,
                                                                               const std::vector<PlannedWrite>& writes) {
    const auto free = files_.FreeBytes(folder);
    if (!free) return std::nullopt;
    std::uint64_t total = 0;
    for (const PlannedWrite& write : writes) {
        total += write.size;
        if (total > *free)
            return RunTooLarge{write.localPath, failed(kNotEnoughSpace + write.localPath, FetchOutcome::Failure::DiskFull)};
    }
    return std::nullopt;
}

FetchOutcome ComponentDownload::FetchServerFile(const std::wstring& serverPath, bool authenticate, bool program,
                                                const std::wstring& localPath) {
    if (running_) return {FetchOutcome::Result::Refused};
    view_.ShowStatus(kStatusPrefix + serverPath);
    RunningMark mark(running_);
    const auto failure = attempt(localPath, [&] {
        checkBaseUrl();
        transfer({baseUrl_ + serverPath, std::nullopt, CredentialsFor(authenticate)}, serverPath, localPath, program);
    });
    return failure ? failed(failure->text, failure->kind) : FetchOutcome{FetchOutcome::Result::Fetched};
}

// Whatever the work throws becomes the failure it is; a transfer broken off
// by the user goes on up. Either way the view is cleared.
std::optional<ComponentDownload::Failure> ComponentDownload::attempt(const std::wstring& localPath,
                                                                    const std::function<void()>& work) {
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
    } catch (const ProxySignInFailed& e) {
        failure = Failure{FetchOutcome::Failure::ProxySignIn, e.text()};
    } catch (const DiskFull&) {
        failure = Failure{FetchOutcome::Failure::DiskFull, kNotEnoughSpace + localPath};
    } catch (const TransferFailure& e) {
        const bool connection = e.kind() == TransferFailure::Kind::Socket;
        failure = Failure{connection ? FetchOutcome::Failure::Connection : FetchOutcome::Failure::Other, e.text()};
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
    const std::int64_t whole = expected > 0 ? resumedBytes_ + expected : 0;
    progressShift_ = ProgressShiftFor(whole);
    view_.SetProgressRange(whole > 0 ? ScaledProgress(whole, progressShift_) : kProgressMaxWithoutSize);
    view_.SetProgressPosition(ScaledProgress(resumedBytes_, progressShift_));
}

void ComponentDownload::Work(std::int64_t done) {
    view_.SetProgressPosition(ScaledProgress(resumedBytes_ + done, progressShift_));
    KeepWorkingOrStop();
}

void ComponentDownload::KeepWorkingOrStop() {
    if (!view_.KeepWorking()) throw BrokenOff();
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
            if (!files_.FileExists(localPath))
                missing.push_back({baseUrl_ + ServerPath(serverFolder, name, std::wstring()), localPath});
        }
    }
    ahead_.Plan(std::move(missing));
}

void ComponentDownload::transfer(const GetRequest& request, const std::wstring& serverPath,
                                 const std::wstring& localPath, bool program) {
    const int retries = serverUnreachable_ ? 0 : kRetries;
    for (int retry = 1;; ++retry) {
        try {
            transferOnce(request, serverPath, localPath, program);
            serverUnreachable_ = false;
            return;
        } catch (const TransferFailure& e) {
            if (retry > retries || !IsTransientFailure(e)) {
                // Any answer at all shows the server within reach again.
                serverUnreachable_ = e.kind() == TransferFailure::Kind::Socket;
                throw;
            }
        }
        try {
            announceRetry(retry);
        } catch (const BrokenOff&) {
            dropPartial(localPath);
            throw;
        }
    }
}

void ComponentDownload::transferOnce(GetRequest request, const std::wstring& serverPath,
                                     const std::wstring& localPath, bool program) {
    // The body goes to the local file's partial file, which replaces it only
    // once the whole body is on disk and judged; on failure the old file
    // stays as it was and the partial file goes, unless it is kept to go on
    // from on the next try.
    if (auto ahead = ahead_.Take(request.url, localPath)) {
        // Requested ahead of its turn (a table: no credentials, nothing to resume).
        resumedBytes_ = 0;
        const DeclaredBody declared = client_.Finish(*ahead->get);
        CheckBodyComplete(declared, static_cast<std::int64_t>(ahead->counted->size()), 0);
        checkListed(serverPath, ahead->counted->Finish());
        if (program) checkSignature(*ahead->file);
        ahead->file->Commit();
        return;
    }
    std::unique_ptr<Sha256Digest> keptDigest;
    auto file = program ? openPartialFile(localPath, request.resume, keptDigest) : nullptr;
    if (!file) file = files_.CreateReplacingFile(localPath);
    resumedBytes_ = file->Size();
    ResumingSink sink(*file, resumedBytes_, files_, FolderOf(localPath), cryptography_, std::move(keptDigest));
    try {
        const DeclaredBody declared = client_.Get(request, sink);
        CheckBodyComplete(declared, sink.received(), resumedBytes_);
    } catch (const BrokenOff&) {
        throw;
    } catch (const TransferFailure& e) {
        if (program && IsTransientFailure(e)) keepForResume(localPath, sink, *file, request.resume);
        throw;
    }
    checkListed(serverPath, {static_cast<std::uint64_t>(sink.digested()), sink.TakeDigest()->Finish()});
    if (program) checkSignature(*file);
    file->Commit();
}

// Every file of the server is checked against the release's list, when
// there is one, before anything else is judged.
void ComponentDownload::checkListed(const std::wstring& serverPath, const FileFacts& arrived) const {
    if (release_ != nullptr) release_->Check(serverPath, arrived);
}

// A file of a local copy: checked against the copy's list (size and
// SHA-256 of the very bytes written) while it is still the partial file,
// then as any file from the server is.
void ComponentDownload::copyFromSource(const std::wstring& serverPath, const std::wstring& localPath, bool program) {
    const ListedFile& listed = source_->Listed(serverPath);
    // The copy's list gives the size before anything is read.
    CheckRoomFor(files_, FolderOf(localPath), listed.size);
    auto file = files_.CreateReplacingFile(localPath);
    DigestingSink digested(*file, cryptography_.StartSha256());
    const DeclaredBody declared = source_->Deliver(files_, client_, serverPath, digested);
    const auto size = static_cast<std::int64_t>(digested.size());
    CheckBodyComplete(declared, size, 0);
    source_->Check(listed, digested.Finish());
    if (program) checkSignature(*file);
    file->Commit();
}

void ComponentDownload::announceRetry(int retry) {
    view_.SetProgressPosition(0);
    view_.ShowStatus(kRetryStatusBefore + std::to_wstring(retry) + L"/" + std::to_wstring(kRetries) +
                     kRetryStatusAfter);
    pause(kRetryPausesMs[static_cast<std::size_t>(retry - 1)]);
}

// Waits without freezing the window: whatever arrives meanwhile is handled,
// and a user who ends the program ends the wait.
void ComponentDownload::pause(int milliseconds) {
    const std::int64_t end = clock_.SteadyMilliseconds() + milliseconds;
    for (std::int64_t left = milliseconds; left > 0; left = end - clock_.SteadyMilliseconds()) {
        clock_.WaitForMessages(static_cast<int>(left));
        KeepWorkingOrStop();
    }
}

// The partial file an earlier try of this run kept, asked for from where it
// ends, with the digest of what it holds; nothing when there is none to go
// on from. A partial file that no longer holds what was digested starts anew.
std::unique_ptr<ReplacingFile> ComponentDownload::openPartialFile(const std::wstring& localPath,
                                                                  std::optional<ResumePoint>& resume,
                                                                  std::unique_ptr<Sha256Digest>& digest) {
    const auto kept = resumable_.find(localPath);
    if (kept == resumable_.end()) return nullptr;
    KeptPart part = std::move(kept->second);
    resumable_.erase(kept);
    auto file = files_.ContinueReplacingFile(localPath);
    if (!file || file->Size() == 0) return file;
    if (file->Size() != part.size) {
        file->Restart();
        return file;
    }
    resume = ResumePoint{file->Size(), part.validator};
    digest = std::move(part.digest);
    return file;
}

// The user ended the program: nothing is kept for later.
void ComponentDownload::dropPartial(const std::wstring& localPath) {
    if (resumable_.erase(localPath) > 0) files_.DeleteFileAt(PartialFilePath(localPath));
}

// Keeps what arrived when the server named the body's validator; without
// one a later answer could not be told to be the same body.
void ComponentDownload::keepForResume(const std::wstring& localPath, ResumingSink& sink, ReplacingFile& file,
                                      const std::optional<ResumePoint>& resumed) {
    std::wstring validator = ValidatorOf(sink.declared());
    if (validator.empty() && resumed) validator = resumed->validator;
    const std::int64_t size = file.Size();
    // A write cut short midway left bytes that were not digested: not kept.
    if (validator.empty() || size == 0 || size != sink.digested()) return;
    file.KeepPartial();
    resumable_[localPath] = KeptPart{validator, sink.TakeDigest(), size};
}

void ComponentDownload::checkSignature(ReplacingFile& file) {
    if (!verification_.Required()) return;
    const SignatureReading reading([this] { KeepWorkingOrStop(); });
    if (!verification_.Accepts(reading.Read([&file] { return file.Signature(); }))) throw SignatureRefused();
}

FetchOutcome ComponentDownload::failed(const std::wstring& errorText, FetchOutcome::Failure kind) {
    ahead_.Drop();
    const bool connection = kind == FetchOutcome::Failure::Connection;
    FetchOutcome outcome{FetchOutcome::Result::Failed, kind,
                         connection ? std::wstring(kConnectionFailure) : kOtherFailure + errorText};
    screen_.ShowMessage(outcome.message);
    return outcome;
}

}  // namespace kanvel::services
