#include "services/ComponentDownload.h"

#include <new>

#include "services/InstallerError.h"

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

ComponentDownload::ComponentDownload(PlatformOperations& platform, HttpClient& client, Surface surface,
                                     std::wstring baseUrl)
    : platform_(platform), client_(client), surface_(std::move(surface)), baseUrl_(std::move(baseUrl)) {}

bool ComponentDownload::Fetch(const std::wstring& serverFolder, const std::wstring& fileName,
                              const std::wstring& extension, bool authenticate, const std::wstring& targetFolder) {
    // One client, one transfer: a click delivered by the message pump of a
    // running transfer must not start another on the same client.
    if (running_) return false;
    const std::wstring localPath = targetFolder + L"\\" + WithExtension(fileName, extension, L".");
    if (!authenticate && platform_.FileExists(localPath)) return false;

    const std::wstring status = kStatusPrefix + WithExtension(fileName, extension, L".");
    surface_.status.setCaption(status);
    RunningMark mark(running_);
    bool stored = false;
    std::wstring failure;
    try {
        useCredentials(authenticate);
        bool fetch = true;
        // Without authentication the file was found missing just above, and
        // nothing has run since that could have made it: no second look.
        if (authenticate && platform_.FileExists(localPath)) {
            if (extension.empty())
                fetch = false;
            else
                surface_.warn(localPath + L"\r" + kReplaceNotice);
        }
        if (fetch) {
            surface_.status.setCaption(status);
            surface_.application.processMessages();
            transfer(baseUrl_ + serverFolder + L"/" + WithExtension(fileName, extension, kServerExtensionPrefix),
                     localPath);
        }
        stored = true;
    } catch (const InstallerError& e) {
        failure = e.text();
    } catch (const std::bad_alloc&) {
        failure = kOutOfMemory;
    } catch (const std::exception& e) {
        const std::string what = e.what();
        failure.assign(what.begin(), what.end());
    }
    surface_.progress.setPosition(0);
    surface_.status.setCaption(std::wstring());
    if (!stored) reportFailure(failure);
    return stored;
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

void ComponentDownload::reportFailure(const std::wstring& errorText) {
    if (errorText.find(kConnectionMarker) != std::wstring::npos)
        platform_.ShowMessage(kConnectionFailure);
    else
        platform_.ShowMessage(kOtherFailure + errorText);
}

}  // namespace kanvel::services
