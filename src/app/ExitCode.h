#pragma once

#include <string_view>

namespace kanvel::app {

// What a run from the command line ends with. The values are part of the
// installer's interface (deployment tools map them): never renumber them.
// 10 is kept for another outcome; 1618 is the number Windows
// Installer gives the same outcome, which every deployment tool knows.
enum class ExitCode : int {
    Success = 0,
    UnexpectedError = 1,
    BadArguments = 2,
    LicenceNotAccepted = 3,
    DownloadFailed = 4,
    DatabaseCopyAborted = 5,
    RemovalIncomplete = 6,
    SignatureRefused = 7,
    ComponentMissing = 8,
    ShortcutOrEntryMissing = 9,
    ProxySignInNeeded = 11,
    // A file of the copy named by /SOURCE is not the one its list names (or
    // is not listed), or the copy's list was refused.
    SourceMismatch = 12,
    // A file did not fit on the target volume (found before writing it or
    // while it was written); what was written of it is removed.
    DiskFull = 13,
    // Another program holds a file the run replaces or removes; nothing
    // was fetched or changed (the log names the files and programs).
    FilesInUse = 14,
    // The engine installer was not started: the user declined the
    // administrator's prompt, or its start failed.
    EngineNotStarted = 15,
    // The installed release of the edition is newer than this installer
    // (and /ALLOWDOWNGRADE was not given); nothing was done.
    NewerReleaseInstalled = 16,
    // A removal or repair of a per-user installation run by another account
    // (an administrator's credentials typed at the elevation prompt, which
    // Settings shows for an uninstall command) while the owner is not the
    // user at the screen: that account's registry and profile are not the
    // owner's, so nothing was done.
    InstalledByAnotherAccount = 17,
    // The release list of the server (or of the copy named by /SOURCE) was
    // refused before any file: missing where the build requires it, changed,
    // or not signed by the maker; nothing was done.
    ReleaseListRefused = 18,
    AnotherRunInProgress = 1618,
};

inline int ToInt(ExitCode code) { return static_cast<int>(code); }

// The meaning of a code, as the last line of the run's log gives it.
inline std::wstring_view DescribeExitCode(ExitCode code) {
    switch (code) {
        case ExitCode::Success: return L"zakończono pomyślnie";
        case ExitCode::UnexpectedError: return L"nieoczekiwany błąd";
        case ExitCode::BadArguments: return L"błędne opcje, nic nie zainstalowano";
        case ExitCode::LicenceNotAccepted: return L"brak akceptacji warunków licencji (/ACCEPTLICENCE), nic nie zainstalowano";
        case ExitCode::DownloadFailed: return L"nieudane pobranie pliku";
        case ExitCode::DatabaseCopyAborted: return L"przerwane kopiowanie plików bazy danych";
        case ExitCode::RemovalIncomplete: return L"usunięcie niepełne: pozostały pliki lub wpis instalacji";
        case ExitCode::SignatureRefused: return L"pobrany program nie ma ważnego podpisu cyfrowego producenta";
        case ExitCode::ComponentMissing:
            return L"plik programu zainstalowany, ale nie wszystkie wybrane składniki (nieudane pobranie)";
        case ExitCode::ShortcutOrEntryMissing:
            return L"plik programu zainstalowany, ale nie zapisano skrótu lub wpisu w „Aplikacje i funkcje”";
        case ExitCode::ProxySignInNeeded:
            return L"serwer proxy wymaga nazwy użytkownika i hasła, a bez okna nie można o nie zapytać";
        case ExitCode::SourceMismatch:
            return L"plik z kopii plików (/SOURCE) niezgodny z jej listą lub lista odrzucona";
        case ExitCode::DiskFull: return L"za mało wolnego miejsca na dysku docelowym";
        case ExitCode::FilesInUse:
            return L"pliki instalacji są używane przez inne programy; niczego nie pobrano ani nie zmieniono";
        case ExitCode::EngineNotStarted:
            return L"instalator silnika bazy danych nie został uruchomiony (odmowa zgody na uprawnienia administratora "
                   L"lub błąd uruchomienia)";
        case ExitCode::NewerReleaseInstalled:
            return L"zainstalowane jest nowsze wydanie edycji niż ten instalator (/ALLOWDOWNGRADE pozwala je zastąpić), "
                   L"nic nie zainstalowano";
        case ExitCode::InstalledByAnotherAccount:
            return L"instalacja należy do innego konta użytkownika niż to, na którym działa instalator; niczego nie "
                   L"zmieniono";
        case ExitCode::ReleaseListRefused:
            return L"lista plików wydania (Kanvel-pliki.txt) brak, zmieniona lub bez ważnego podpisu producenta, "
                   L"nic nie zainstalowano";
        case ExitCode::AnotherRunInProgress: return L"trwa inna instalacja; spróbuj ponownie później";
    }
    return L"";
}

}  // namespace kanvel::app
