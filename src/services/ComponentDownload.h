#pragma once

#include <functional>
#include <string>

#include "services/HttpClient.h"
#include "services/PlatformOperations.h"
#include "ui/Application.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

namespace kanvel::services {

// The download base URL the build was made for (ends in "/").
inline constexpr const wchar_t* kDownloadBaseUrl = KANVEL_DOWNLOAD_BASE_URL;

// Fetches one component file from the download server into a local folder.
// It decides from the local file and the authenticate flag whether to fetch
// at all, shows what it does in the status line and on the progress bar,
// reports every failure to the user itself and tells the caller only
// whether it stored the file.
class ComponentDownload {
public:
    struct Surface {
        ui::Label& status;
        ui::ProgressBar& progress;
        ui::Application& application;
        // Tells the user that an existing file is about to be replaced.
        std::function<void(const std::wstring& text)> warn;
    };

    ComponentDownload(PlatformOperations& platform, HttpClient& client, Surface surface,
                      std::wstring baseUrl = kDownloadBaseUrl);

    // True when it fetched and stored the file (or, authenticated, found a
    // file without extension already there). A call made while a transfer
    // is running returns false and changes nothing.
    bool Fetch(const std::wstring& serverFolder, const std::wstring& fileName, const std::wstring& extension,
               bool authenticate, const std::wstring& targetFolder);

private:
    void useCredentials(bool authenticate);
    void transfer(const std::wstring& url, const std::wstring& localPath);
    void reportFailure(const std::wstring& errorText);

    PlatformOperations& platform_;
    HttpClient& client_;
    Surface surface_;
    std::wstring baseUrl_;
    bool running_ = false;
};

}  // namespace kanvel::services
