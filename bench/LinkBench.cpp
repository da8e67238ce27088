// Fetches the 73 database tables and then one program file through the
// installer's own download code (ComponentDownload over the WinHTTP client
// the platform makes, one client for the whole run, its progress shown on a
// status line and a bar without windows), with no window. Prints KEY=VALUE lines for
// run-link-bench.sh: files stored, failures, and the seconds each part took.
// Usage: kanvel_link_bench BASE_URL TABLES_FOLDER PROGRAM_FOLDER PROGRAM_NAME
//   BASE_URL ends in "/"; both folders must exist and hold none of the files.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "pages/install/DatabaseFileSets.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Toolkit.h"
#include "services/download/ComponentDownload.h"
#include "services/download/DownloadView.h"
#include "services/installer/ProgramTitle.h"
#include "ui/Application.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const wchar_t* kProgramServerFolder = L"programy/wersja7/poprawki";
constexpr const wchar_t* kProgramExtension = L"exe";

// The Windows platform, except that a failure message goes to the standard
// error stream instead of a message box nobody would close.
class ReportingPlatform : public kanvel::platform::win32::Win32Platform {
public:
    void ShowMessage(const std::wstring& text) override {
        ++failures;
        std::fprintf(stderr, "download failed: %ls\n", text.c_str());
    }
    int failures = 0;
};

// The install page's part of a download, with controls that have no window.
class HeadlessView : public kanvel::services::DownloadView {
public:
    explicit HeadlessView(kanvel::ui::Application& application) : application_(application) {}
    void ShowStatus(const std::wstring& text) override { status_.setCaption(text); }
    void SetProgressRange(int max) override { progress_.setMax(max); }
    void SetProgressPosition(int position) override { progress_.setPosition(position); }
    bool KeepWorking() override {
        application_.processMessages();
        return true;
    }
    void ShowReplaceNotice(const std::wstring&) override {}
    std::optional<kanvel::services::ProxyCredentials> AskProxySignIn(const std::wstring&) override {
        return std::nullopt;
    }

private:
    kanvel::ui::Application& application_;
    kanvel::ui::Label status_{L"LabelInfo"};
    kanvel::ui::ProgressBar progress_{L"ProgressBar1"};
};

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fputs("usage: kanvel_link_bench BASE_URL TABLES_FOLDER PROGRAM_FOLDER PROGRAM_NAME\n", stderr);
        return 2;
    }
    const std::wstring baseUrl = argv[1], tablesFolder = argv[2], programFolder = argv[3], programName = argv[4];

    kanvel::platform::win32::Win32Toolkit toolkit(GetModuleHandleW(nullptr));
    ReportingPlatform platform;
    kanvel::ui::Application application(toolkit, kanvel::services::ProgramTitleOf(platform.ExecutablePath()));
    HeadlessView view(application);

    const auto started = Clock::now();
    auto client = platform.CreateHttpClient();
    const auto verification = kanvel::services::ProgramVerification::OfThisBuild();
    kanvel::services::ComponentDownload download(platform, *client, view, verification, baseUrl);

    // The tables in the order the installer asks for them, requested side by
    // side as the installer requests them.
    const std::vector<std::wstring> names = kanvel::install::TablesInFetchOrder();
    const std::wstring server(kanvel::install::kTablesServerFolder);
    download.ExpectNext(server, names, tablesFolder);
    int tables = 0;
    for (const std::wstring& name : names)
        if (download.Fetch(server, name, L"", false, tablesFolder).stored()) ++tables;
    const double tablesSeconds = SecondsSince(started);
    const auto programStarted = Clock::now();
    const bool program =
        download.Fetch(kProgramServerFolder, programName, kProgramExtension, true, programFolder).stored();
    const double programSeconds = SecondsSince(programStarted);
    const double totalSeconds = SecondsSince(started);

    std::printf("tables=%d\nprogram=%d\nfailures=%d\n", tables, program ? 1 : 0, platform.failures);
    std::printf("tables_seconds=%.6f\nprogram_seconds=%.6f\ntotal_seconds=%.6f\n", tablesSeconds, programSeconds,
                totalSeconds);
    return platform.failures == 0 && program ? 0 : 1;
}
