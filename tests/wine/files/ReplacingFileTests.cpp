// Tests of Win32ReplacingFile, the file a download is written to, on Wine's
// real file system: what the target holds after a commit, after an abandoned
// download and after a failed commit, and that no other file stays behind.
// Usage: kanvel_replacing_file_wine_tests EMPTY_FOLDER
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "../http/CheckList.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32ReplacingFile.h"
#include "services/installer/InstallerError.h"

namespace {

using kanvel::platform::win32::Win32ReplacingFile;
// The real clock paces the tries of a commit that meets a hold.
kanvel::platform::win32::Win32Platform clock;
using kanvel::tests::CheckList;
using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size, std::uint8_t first) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(first + i * 7);
    return bytes;
}

void WriteWhole(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The file's bytes, or nothing when it cannot be opened.
Bytes ReadWhole(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    Bytes bytes;
    std::uint8_t block[4096];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) bytes.insert(bytes.end(), block, block + got);
    CloseHandle(file);
    return bytes;
}

std::vector<std::wstring> Entries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// A folder of its own for each case, so that leftovers are easy to see.
std::wstring CaseFolder(const std::wstring& root, const std::wstring& name) {
    const std::wstring folder = root + L"\\" + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void CheckOnlyEntry(CheckList& checks, const std::wstring& folder, const std::wstring& name, const std::string& what) {
    const auto entries = Entries(folder);
    checks.Check(entries.size() == 1 && entries.front() == name,
                 what + ": the folder holds the target only (" + std::to_string(entries.size()) + " entries)");
}

// A commit leaves the new bytes, whole, under the target's name: for a new
// target, over a longer old file, and under a name with Polish letters.
void CommittedFilesReplaceTheirTargets(CheckList& checks, const std::wstring& root) {
    struct Case {
        const char* what;
        const wchar_t* name;
        std::size_t oldSize;  // 0: no old file
        std::size_t newSize;
    };
    const Case cases[] = {{"new target", L"config.db", 0, 512},
                          {"longer old target", L"Edytor3.exe", 300000, 70000},
                          {"empty body", L"puste.db", 100, 0},
                          {"Polish name", L"Zażółć gęślą jaźń.db", 10, 5000}};
    int index = 0;
    for (const Case& c : cases) {
        const std::wstring folder = CaseFolder(root, L"commit" + std::to_wstring(index++));
        const std::wstring target = folder + L"\\" + c.name;
        if (c.oldSize > 0) WriteWhole(target, Pattern(c.oldSize, 1));
        const Bytes body = Pattern(c.newSize, 99);
        try {
            Win32ReplacingFile file(target, clock);
            // In two pieces, as blocks arrive.
            file.Write(body.data(), body.size() / 2);
            file.Write(body.data() + body.size() / 2, body.size() - body.size() / 2);
            file.Commit();
        } catch (const kanvel::services::InstallerError& error) {
            checks.Check(false, std::string(c.what) + ": commit failed: " + kanvel::tests::Printable(error.text()));
        }
        checks.Check(ReadWhole(target) == body, std::string(c.what) + ": the target holds the new bytes");
        CheckOnlyEntry(checks, folder, c.name, c.what);
    }
}

// A download that ends without a commit (failure or cut-off) leaves the old
// file byte for byte, or no file where there was none.
void AbandonedFilesLeaveTheOldOne(CheckList& checks, const std::wstring& root) {
    const std::wstring folder = CaseFolder(root, L"abandoned");
    const std::wstring target = folder + L"\\Edytor3.exe";
    const std::wstring missing = folder + L"\\baza1.db";
    const Bytes old = Pattern(4096, 5);
    WriteWhole(target, old);
    for (const std::wstring& path : {target, missing}) {
        Win32ReplacingFile file(path, clock);
        const Bytes partial = Pattern(1000, 77);
        file.Write(partial.data(), partial.size());
    }
    checks.Check(ReadWhole(target) == old, "abandoned: the old file is unchanged");
    checks.Check(GetFileAttributesW(missing.c_str()) == INVALID_FILE_ATTRIBUTES, "abandoned: no file where none was");
    CheckOnlyEntry(checks, folder, L"Edytor3.exe", "abandoned");
}

// A read-only target is refused before anything is written; a target another
// program holds open without delete sharing cannot be replaced. Either way the
// old file stays and the error names the target.
void TargetsThatCannotBeReplacedStayAsTheyWere(CheckList& checks, const std::wstring& root) {
    const Bytes old = Pattern(2048, 3);
    {
        const std::wstring folder = CaseFolder(root, L"readonly");
        const std::wstring target = folder + L"\\Edytor2.exe";
        WriteWhole(target, old);
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
        std::wstring error;
        try {
            Win32ReplacingFile file(target, clock);
        } catch (const kanvel::services::InputOutputError& e) {
            error = e.text();
        }
        checks.Check(error.find(target) != std::wstring::npos,
                     "read-only: refused with a text naming the target: " + kanvel::tests::Printable(error));
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        checks.Check(ReadWhole(target) == old, "read-only: the old file is unchanged");
        CheckOnlyEntry(checks, folder, L"Edytor2.exe", "read-only");
    }
    {
        const std::wstring folder = CaseFolder(root, L"held");
        const std::wstring target = folder + L"\\Edytor1.exe";
        WriteWhole(target, old);
        HANDLE holder = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::wstring error;
        try {
            Win32ReplacingFile file(target, clock);
            const Bytes body = Pattern(100, 8);
            file.Write(body.data(), body.size());
            file.Commit();
        } catch (const kanvel::services::InputOutputError& e) {
            error = e.text();
        }
        CloseHandle(holder);
        checks.Check(error.find(target) != std::wstring::npos,
                     "held open: the commit fails with a text naming the target: " + kanvel::tests::Printable(error));
        checks.Check(ReadWhole(target) == old, "held open: the old file is unchanged");
        CheckOnlyEntry(checks, folder, L"Edytor1.exe", "held open");
    }
}

// A target held open without sharing for a moment (as a virus scanner holds
// a file just written) is replaced once the holder lets go; the commit waits
// for it instead of failing.
void TargetsHeldForAMomentAreReplaced(CheckList& checks, const std::wstring& root) {
    const std::wstring folder = CaseFolder(root, L"held-briefly");
    const std::wstring target = folder + L"\\baza1.db";
    WriteWhole(target, Pattern(2048, 3));
    HANDLE holder = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    checks.Check(holder != INVALID_HANDLE_VALUE, "held briefly: the holder opened the target");
    HANDLE releaser = CreateThread(
        nullptr, 0,
        [](void* held) -> DWORD {
            ::Sleep(800);
            CloseHandle(static_cast<HANDLE>(held));
            return 0;
        },
        holder, 0, nullptr);
    const Bytes body = Pattern(700, 9);
    try {
        Win32ReplacingFile file(target, clock);
        file.Write(body.data(), body.size());
        file.Commit();
    } catch (const kanvel::services::InputOutputError& e) {
        checks.Check(false, "held briefly: the commit failed: " + kanvel::tests::Printable(e.text()));
    }
    WaitForSingleObject(releaser, INFINITE);
    CloseHandle(releaser);
    checks.Check(ReadWhole(target) == body, "held briefly: the target holds the new bytes");
    CheckOnlyEntry(checks, folder, L"baza1.db", "held briefly");
}

// What lies at the partial file's name goes first: a read-only leftover of an
// interrupted run is replaced; a link planted there (run-replacing-file-tests.sh
// makes "planted\Edytor3.exe.part" a Unix link to "victim.dll", which Wine
// opens as its target) is never written through: the download fails instead.
void LeftoversAreReplacedAndLinksNeverWrittenThrough(CheckList& checks, const std::wstring& root) {
    {
        const std::wstring folder = CaseFolder(root, L"leftover");
        const std::wstring target = folder + L"\\Edytor3.exe";
        WriteWhole(target + L".part", Pattern(500, 1));
        SetFileAttributesW((target + L".part").c_str(), FILE_ATTRIBUTE_READONLY);
        const Bytes body = Pattern(300, 2);
        try {
            Win32ReplacingFile file(target, clock);
            file.Write(body.data(), body.size());
            file.Commit();
        } catch (const kanvel::services::InstallerError& error) {
            checks.Check(false, "read-only leftover: " + kanvel::tests::Printable(error.text()));
        }
        checks.Check(ReadWhole(target) == body, "read-only leftover: the target holds the new bytes");
        CheckOnlyEntry(checks, folder, L"Edytor3.exe", "read-only leftover");
    }
    const std::wstring victim = root + L"\\victim.dll";
    const Bytes before = ReadWhole(victim);
    checks.Check(!before.empty(), "planted link: the victim file is there");
    std::wstring error;
    try {
        Win32ReplacingFile file(root + L"\\planted\\Edytor3.exe", clock);
        const Bytes body = Pattern(300, 3);
        file.Write(body.data(), body.size());
        file.Commit();
    } catch (const kanvel::services::InputOutputError& e) {
        error = e.text();
    }
    checks.Check(ReadWhole(victim) == before, "planted link: the file it leads to is unchanged");
    checks.Check(error.find(L"Edytor3.exe") != std::wstring::npos,
                 "planted link: the download fails naming its file: " + kanvel::tests::Printable(error));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: kanvel_replacing_file_wine_tests EMPTY_FOLDER\n", stderr);
        return 2;
    }
    CheckList checks;
    try {
        CommittedFilesReplaceTheirTargets(checks, argv[1]);
        AbandonedFilesLeaveTheOldOne(checks, argv[1]);
        TargetsThatCannotBeReplacedStayAsTheyWere(checks, argv[1]);
        TargetsHeldForAMomentAreReplaced(checks, argv[1]);
        LeftoversAreReplacedAndLinksNeverWrittenThrough(checks, argv[1]);
    } catch (const kanvel::services::InstallerError& error) {
        checks.Check(false, "unexpected error: " + kanvel::tests::Printable(error.text()));
    }
    return checks.Finish();
}
