#include "services/ComponentDownload.h"

#include <new>

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
}  // namespace

ComponentDownload::ComponentDownload(PlatformOperations& platform, HttpClient& client, DownloadView& view,
                                     std::wstring baseUrl)
    : platform_(platform), client_(client), view_(view), baseUrl_(std::move(baseUrl)) {
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
    std::wstring failure;
    try {
        useCredentials(authenticate);
        // Without authentication the file was found missing just above, and
        // nothing has run since that could have made it: no second look.
        const bool replacing = authenticate && platform_.FileExists(localPath);
        if (replacing && extension.empty()) {
            outcome.result = FetchOutcome::Result::KeptWithoutExtension;
        } else {
            if (replacing) view_.ShowReplaceNotice(localPath + L"\r" + kReplaceNotice);
            view_.ShowStatus(status);
            KeepWorkingOrStop();
            transfer(baseUrl_ + serverFolder + L"/" + WithExtension(fileName, extension, kServerExtensionPrefix),
                     localPath);
        }
    } catch (const BrokenOff&) {
        view_.SetProgressPosition(0);
        view_.ShowStatus(std::wstring());
        throw;
    } catch (const InstallerError& e) {
        failure = e.text();
        outcome.result = FetchOutcome::Result::Failed;
    } catch (const std::bad_alloc&) {
        failure = kOutOfMemory;
        outcome.result = FetchOutcome::Result::Failed;
    } catch (const std::exception& e) {
        const std::string what = e.what();
        failure.assign(what.begin(), what.end());
        outcome.result = FetchOutcome::Result::Failed;
    }
    view_.SetProgressPosition(0);
    view_.ShowStatus(std::wstring());
    return outcome.failed() ? failed(failure) : outcome;
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

void ComponentDownload::transfer(const std::wstring& url, const std::wstring& localPath) {
    // The body goes to the local file's partial file, which replaces it only
    // once the whole body is on disk; on failure the old file stays as it was
    // and the partial file goes.
    auto file = platform_.CreateReplacingFile(localPath);
    client_.Get(url, *file);
    file->Commit();
}

FetchOutcome ComponentDownload::failed(const std::wstring& errorText) {
    const bool connection = errorText.find(kConnectionMarker) != std::wstring::npos;
    FetchOutcome outcome{FetchOutcome::Result::Failed, connection ? FetchOutcome::Failure::Connection
                                                                  : FetchOutcome::Failure::Other,
                         connection ? std::wstring(kConnectionFailure) : kOtherFailure + errorText};
    platform_.ShowMessage(outcome.message);
    return outcome;
}

}  // namespace kanvel::services
