#include "DownloadRuleTests.h"

#include <windows.h>

#include <chrono>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/http/WinHttpClient.h"
#include "services/download/ComponentDownload.h"
#include "services/download/UnwatchedView.h"

namespace kanvel::tests {
namespace {

using namespace std::chrono_literals;

constexpr const char OldFile[] = "MZ the working older version";
constexpr const wchar_t* OtherFailure = L"Nieudane pobranie pliku: ";

// The Windows platform, with the download's messages kept instead of shown.
class RecordingPlatform : public platform::win32::Win32Platform {
public:
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    std::vector<std::wstring> messages;
};

std::string ReadWhole(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(missing)";
    std::string bytes;
    char block[4096];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) bytes.append(block, got);
    CloseHandle(file);
    return bytes;
}

void WriteWhole(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring TestFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kanvel-download-rule";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

struct FaultCase {
    const wchar_t* route;
    const wchar_t* message;
};

}  // namespace

void RunDownloadRuleTests(CheckList& checks, const std::wstring& faultServerUrl) {
    // What Wine 8 ends without an error, what carries no length, and a
    // trickle: each fails with its own words.
    const FaultCase cases[] = {
        {L"chunked", L"serwer przysłał plik w częściach, bez podanej długości"},
        {L"chunked-cut", L"serwer przysłał plik w częściach, bez podanej długości"},
        {L"chunked-no-end", L"serwer przysłał plik w częściach, bez podanej długości"},
        {L"close-delimited", L"serwer nie podał długości pliku"},
        {L"short", L"plik niekompletny, odebrano 200000 z 201000 bajtów"},
        {L"trickle", nullptr},  // a time-out: the connection failure's words
    };
    RecordingPlatform platform;
    services::UnwatchedView view;
    platform::win32::WinHttpClient client(5s, 2s, 4s, 1024);
    const services::ProgramVerification unverified{services::PublisherList()};
    services::ComponentDownload download(platform, client, view, unverified, faultServerUrl + L"/");
    const std::wstring folder = TestFolder();
    const std::wstring target = folder + L"\\setup.exe";
    for (const auto& fault : cases) {
        const std::string what = "download from /" + Printable(fault.route);
        WriteWhole(target, OldFile);
        platform.messages.clear();
        const bool stored = download.Fetch(fault.route, L"setup", L"exe", true, folder).stored();
        checks.Check(!stored, what + ": not stored");
        const std::wstring expected = fault.message ? OtherFailure + std::wstring(fault.message)
                                                    : L"Błąd połączenia z internetem";
        checks.Check(platform.messages.size() == 1, what + ": one message");
        if (!platform.messages.empty()) checks.CheckEqual(platform.messages.front(), expected, what + ": the message");
        checks.Check(ReadWhole(target) == OldFile, what + ": the old file is as it was");
        checks.Check(GetFileAttributesW((target + L".part").c_str()) == INVALID_FILE_ATTRIBUTES,
                     what + ": no partial file");
    }
    // A whole body with its length takes the old file's place.
    checks.Check(download.Fetch(L"ok", L"setup", L"exe", true, folder).stored(), "download from /ok: stored");
    checks.CheckEqual(static_cast<std::int64_t>(ReadWhole(target).size()), 200'000, "download from /ok: the whole body");
    DeleteFileW(target.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace kanvel::tests
