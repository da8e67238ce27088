#include "MirrorTests.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "Download.h"
#include "platform/win32/http/WinHttpClient.h"

namespace kanvel::tests {
namespace {

using platform::win32::WinHttpClient;

constexpr const wchar_t* ProgramFolder = L"programy/wersja7/poprawki/";
constexpr const wchar_t* TableFolder = L"programy/wersja7/bkp6/";
constexpr const wchar_t* EngineSetup = L"sterowniki/bde/setup._exe";
constexpr const wchar_t* Programs[] = {L"Edytor3._exe", L"Edytor2p._exe", L"Edytor2._exe", L"Edytor1a._exe",
                                       L"Edytor1._exe"};
constexpr const wchar_t* MirrorUser = L"kanvel8";
constexpr const wchar_t* MirrorPassword = L"tormik584";

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Fetches mirrorUrl/relative and checks it is the file under mirrorRoot, whole.
void CheckServedFile(CheckList& checks, WinHttpClient& client, const std::wstring& mirrorUrl,
                     const std::filesystem::path& mirrorRoot, const std::wstring& relative,
                     const std::optional<services::ServerCredentials>& credentials = std::nullopt) {
    const std::string what = "mirror " + Printable(relative);
    const auto onDisk = ReadWholeFile(mirrorRoot / relative);
    checks.Check(!onDisk.empty(), what + ": the file is in the mirror tree");
    const Download download = Fetch(client, mirrorUrl + L"/" + relative, credentials);
    checks.Check(!download.failed, what + ": succeeds" + (download.failed ? " (" + Printable(download.error) + ")" : ""));
    checks.Check(download.body == onDisk, what + ": the body is the file on disk");
    const auto size = static_cast<std::int64_t>(onDisk.size());
    CheckCompleteProgress(checks, download, size, size, what);
}

void CheckRefused(CheckList& checks, WinHttpClient& client, const std::wstring& url, const std::wstring& statusLine,
                  const std::string& what, const std::optional<services::ServerCredentials>& credentials = std::nullopt) {
    const Download download = Fetch(client, url, credentials);
    checks.Check(download.failed, what + ": fails");
    checks.CheckEqual(download.error, statusLine, what + ": error text");
}

void RunProgramTests(CheckList& checks, const std::wstring& mirrorUrl, const std::filesystem::path& mirrorRoot) {
    WinHttpClient authenticated;
    const services::ServerCredentials mirrorCredentials{MirrorUser, MirrorPassword};
    for (const wchar_t* program : Programs) {
        CheckServedFile(checks, authenticated, mirrorUrl, mirrorRoot, std::wstring(ProgramFolder) + program,
                        mirrorCredentials);
    }

    const std::wstring firstProgram = mirrorUrl + L"/" + ProgramFolder + Programs[0];
    WinHttpClient anonymous;
    CheckRefused(checks, anonymous, firstProgram, L"HTTP/1.1 401 Unauthorized", "program without credentials");

    WinHttpClient wrongPassword;
    CheckRefused(checks, wrongPassword, firstProgram, L"HTTP/1.1 401 Unauthorized", "program with a wrong password",
                 services::ServerCredentials{MirrorUser, L"tormik585"});
}

void RunOpenFileTests(CheckList& checks, const std::wstring& mirrorUrl, const std::filesystem::path& mirrorRoot) {
    WinHttpClient anonymous;
    CheckServedFile(checks, anonymous, mirrorUrl, mirrorRoot, EngineSetup);

    int tables = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mirrorRoot / TableFolder)) {
        CheckServedFile(checks, anonymous, mirrorUrl, mirrorRoot, TableFolder + entry.path().filename().wstring());
        ++tables;
    }
    checks.Check(tables > 0, "mirror tables: the table folder is not empty");

    CheckRefused(checks, anonymous, mirrorUrl + L"/" + TableFolder + L"nie-ma-takiej.db", L"HTTP/1.1 404 Not Found",
                 "missing table");
}

}  // namespace

void RunMirrorTests(CheckList& checks, const std::wstring& mirrorUrl, const std::filesystem::path& mirrorRoot) {
    RunProgramTests(checks, mirrorUrl, mirrorRoot);
    RunOpenFileTests(checks, mirrorUrl, mirrorRoot);
}

}  // namespace kanvel::tests
