#pragma once

#include <cstdint>
#include <string>

#include "services/DownloadView.h"
#include "services/FetchOutcome.h"
#include "services/HttpClient.h"
#include "services/PlatformOperations.h"

namespace kanvel::services {

// The download base URL the build was made for (ends in "/").
inline constexpr const wchar_t* kDownloadBaseUrl = KANVEL_DOWNLOAD_BASE_URL;

// Fetches one component file from the download server into a local folder.
// It decides from the local file and the authenticate flag whether to fetch
// at all, shows what it does on its view (status line and progress bar,
// which it drives from the client's progress events), reports every failure
// to the user itself and tells the caller what happened.
class ComponentDownload {
public:
    ComponentDownload(PlatformOperations& platform, HttpClient& client, DownloadView& view,
                      std::wstring baseUrl = kDownloadBaseUrl);

    // Stored when it fetched and stored the file (or, authenticated, found a
    // file without extension already there). A call made while a transfer
    // is running is refused and changes nothing. The arguments are taken by
    // value: whatever the user does while the file arrives, it is fetched
    // and stored under the names the call was made with. When the user ends
    // the program meanwhile, the transfer stops, nothing is stored and
    // services::BrokenOff is thrown.
    FetchOutcome Fetch(std::wstring serverFolder, std::wstring fileName, std::wstring extension, bool authenticate,
                       std::wstring targetFolder);

private:
    // The client's progress events, shown on the view's bar.
    void WorkBegin(std::int64_t expected);
    void Work(std::int64_t done);
    // Lets the window answer; stops the work when the user has ended the program.
    void KeepWorkingOrStop();
    void useCredentials(bool authenticate);
    void transfer(const std::wstring& url, const std::wstring& localPath);
    FetchOutcome failed(const std::wstring& errorText);

    PlatformOperations& platform_;
    HttpClient& client_;
    DownloadView& view_;
    std::wstring baseUrl_;
    bool running_ = false;
    // Bodies of 2 GiB or more are shown in units of 2^shift bytes.
    int progressShift_ = 0;
};

}  // namespace kanvel::services
