// Writes real shortcut files with the shell's link object under Wine, into
// the folder given on the command line; run-shortcut-tests.sh then reads
// their contents back on the Linux side.
// Usage: kanvel_shortcut_wine_tests LINK_FOLDER
#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "CheckList.h"
#include "platform/win32/Win32Platform.h"
#include "services/installer/InstallerError.h"
#include "services/shortcuts/ShortcutWriter.h"

namespace {

using kanvel::services::TParametrySkrotu;
using kanvel::tests::CheckList;
using kanvel::tests::Printable;

const std::wstring kProgramFolder = L"C:\\OR-Vel";
const std::wstring kProgram = L"C:\\OR-Vel\\Edytor3.exe";
const std::wstring kDescription = L"Skrót do programu Kanvel Koordynator 8.0";
const std::wstring kNoTargetError = L"Brak nazwy pliku, do którego ma zostać utworzony skrót";

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The shell records a target that exists as a local file; give it one.
void PlaceProgram(kanvel::services::FileSystem& files) {
    files.MakeDirectory(kProgramFolder);
    const auto file = files.CreateReplacingFile(kProgram);
    const std::uint8_t bytes[] = {'M', 'Z'};
    file->Write(bytes, sizeof bytes);
    file->Commit();
}

// Writes one shortcut that must come out as a file.
void WriteLink(CheckList& checks, kanvel::services::Shell& shell, const std::wstring& link,
               const TParametrySkrotu& parametry) {
    const std::string name = Printable(link);
    try {
        kanvel::services::UtworzSkrot(shell, link, parametry);
        checks.Check(FileExists(link), name + " was written");
    } catch (const kanvel::services::InstallerError& error) {
        checks.Check(false, name + ": error \"" + Printable(error.text()) + "\"");
    }
}

void WriteLinks(CheckList& checks, kanvel::services::Shell& shell, const std::wstring& folder) {
    WriteLink(checks, shell, folder + L"\\koordynator.lnk",
              {.SciezkaPliku = kProgram, .katalogRoboczy = kProgramFolder, .opis = kDescription, .rodzajokna = 1,
               .numerIkony = 0, .klawiszSkrotu = L'K'});
    WriteLink(checks, shell, folder + L"\\male-k.lnk",
              {.SciezkaPliku = kProgram, .rodzajokna = 0, .klawiszSkrotu = L'k'});
    WriteLink(checks, shell, folder + L"\\zminimalizowany.lnk",
              {.SciezkaPliku = kProgram, .argumenty = L"/baza C:\\OR-Vel\\Dane", .katalogRoboczy = kProgramFolder,
               .SciezkaIkony = L"C:\\windows\\system32\\shell32.dll", .rodzajokna = 7, .numerIkony = 3});
}

void WriteIntoMissingFolder(CheckList& checks, kanvel::services::Shell& shell,
                            const std::wstring& folder) {
    const std::wstring missing = folder + L"\\brak";
    try {
        kanvel::services::UtworzSkrot(shell, missing + L"\\brak.lnk", {.SciezkaPliku = kProgram});
        checks.Check(!FileExists(missing), "a link in a missing folder leaves no folder or file");
    } catch (const kanvel::services::InstallerError& error) {
        checks.Check(false, "a link in a missing folder: error \"" + Printable(error.text()) + "\"");
    }
}

void WriteWithoutProgram(CheckList& checks, kanvel::services::Shell& shell,
                         const std::wstring& folder) {
    const std::wstring link = folder + L"\\bez-programu.lnk";
    try {
        kanvel::services::UtworzSkrot(shell, link, {.opis = kDescription, .klawiszSkrotu = L'K'});
        checks.Check(false, "no error for an empty program path");
    } catch (const kanvel::services::InstallerError& error) {
        checks.CheckEqual(error.text(), kNoTargetError, "error for an empty program path");
    }
    checks.Check(!FileExists(link), "no link file for an empty program path");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: kanvel_shortcut_wine_tests LINK_FOLDER\n", stderr);
        return 2;
    }
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(com)) {
        std::printf("CoInitializeEx failed: 0x%08lx\n", static_cast<unsigned long>(com));
        return 1;
    }
    CheckList checks;
    kanvel::platform::win32::Win32Platform platform;
    const std::wstring folder = argv[1];
    try {
        PlaceProgram(platform);
        WriteLinks(checks, platform, folder);
        WriteIntoMissingFolder(checks, platform, folder);
        WriteWithoutProgram(checks, platform, folder);
    } catch (const kanvel::services::InstallerError& error) {
        checks.Check(false, "unexpected error: " + Printable(error.text()));
    } catch (const std::exception& error) {
        checks.Check(false, std::string("unexpected exception: ") + error.what());
    }
    CoUninitialize();
    return checks.Finish();
}
