#pragma once

#include <string_view>

namespace kanvel::app {

// What a run from the command line ends with. The values are part of the
// installer's interface (deployment tools map them): never renumber them.
enum class ExitCode : int {
    Success = 0,
    UnexpectedError = 1,
    BadArguments = 2,
    LicenceNotAccepted = 3,
    DownloadFailed = 4,
    DatabaseCopyAborted = 5,
    FoldersLeft = 6,
    SignatureRefused = 7,
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
        case ExitCode::FoldersLeft: return L"po usunięciu instalacji pozostały foldery";
        case ExitCode::SignatureRefused: return L"pobrany program nie ma ważnego podpisu cyfrowego producenta";
    }
    return L"";
}

}  // namespace kanvel::app
