#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>

#include "services/installer/BuildSettings.h"
#include "services/http/DownloadUrlRule.h"
#include "services/installer/Editions.h"
#include "services/paths/InstallationPaths.h"
#include "services/paths/PathLimits.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kNotAnOption = L"to nie jest opcja (opcje zaczynają się od / lub -)";
constexpr const wchar_t* kUnknownOption = L"nieznana opcja";
constexpr const wchar_t* kRepeated = L"opcja podana więcej niż raz";
constexpr const wchar_t* kTakesNoValue = L"opcja nie przyjmuje wartości";
constexpr const wchar_t* kNeedsValue = L"brak wartości po znaku =";
constexpr const wchar_t* kUnknownEdition = L"nieznana edycja";
constexpr const wchar_t* kBadDirectory = L"nieprawidłowy dysk lub folder";
constexpr const wchar_t* kUnknownItem = L"nieznany element listy: ";
constexpr const wchar_t* kEmptyItem = L"pusty element listy";
constexpr const wchar_t* kShortcutConflict = L"wyklucza się z /NOSHORTCUTS";
constexpr const wchar_t* kScopeConflict = L"wyklucza się z /ALLUSERS";
constexpr const wchar_t* kUninstallConflict = L"nie dotyczy usunięcia instalacji (/UNINSTALL)";
constexpr const wchar_t* kRepairConflict = L"nie dotyczy naprawy instalacji (/REPAIR)";
constexpr const wchar_t* kResetNeedsDatabase = L"dotyczy tylko składnika database (/COMPONENTS=...,database)";
constexpr const wchar_t* kNeedsSilent = L"działa tylko z /SILENT";
constexpr const wchar_t* kDirectoryTooLong = L"folder dłuższy niż ";
constexpr const wchar_t* kCharacters = L" znaków";
constexpr const wchar_t* kMissingEdition = L"brak wymaganej opcji";
constexpr const wchar_t* kEditionOption = L"/EDITION";
constexpr const wchar_t* kBadSource = L"nieprawidłowy folder lub adres kopii plików";
constexpr const wchar_t* kUnencryptedSource = L"połączenie z kopią plików nie byłoby szyfrowane (http://)";
constexpr const wchar_t* kLayoutConflict = L"wyklucza się z /LAYOUT";
constexpr const wchar_t* kBadAccount = L"nieprawidłowy identyfikator konta (SID, np. S-1-5-21-...)";
constexpr const wchar_t* kOwnerNeedsAction = L"dotyczy tylko usunięcia (/UNINSTALL) lub naprawy (/REPAIR) instalacji";
constexpr const wchar_t* kAccountIdStart = L"S-1-";
constexpr const wchar_t* kHttp = L"HTTP://";
constexpr const wchar_t* kHttps = L"HTTPS://";
constexpr const wchar_t* kHere = L".\\";

constexpr std::wstring_view kInvalidPathCharacters = L"<>\"|?*:/";

enum class OptionId {
    Silent, VerySilent, AcceptLicence, Edition, Dir, Components, NoShortcuts, Shortcuts, Uninstall, Log, AllUsers,
    CurrentUser, ResetDatabase, SuppressMessageBoxes, NoRestart, NoStartPrompt, SecondPhase, Usage, Source, Layout,
    CloseApplications, AllowDowngrade, Repair, Owner
};

// Whether an option has a meaning in a run with a window too.
enum class Runs { Silent, Both };

struct KnownOption {
    const wchar_t* name;
    OptionId id;
    bool takesValue;
    Runs runs;
};

constexpr std::array<KnownOption, 24> kOptions{{
    {L"SILENT", OptionId::Silent, false, Runs::Silent},
    // Inno Setup's stronger word for the same: nothing is shown either way.
    {L"VERYSILENT", OptionId::VerySilent, false, Runs::Silent},
    {L"ACCEPTLICENCE", OptionId::AcceptLicence, false, Runs::Silent},
    {L"EDITION", OptionId::Edition, true, Runs::Silent},
    {L"DIR", OptionId::Dir, true, Runs::Both},
    {L"COMPONENTS", OptionId::Components, true, Runs::Silent},
    {L"NOSHORTCUTS", OptionId::NoShortcuts, false, Runs::Silent},
    {L"SHORTCUTS", OptionId::Shortcuts, true, Runs::Silent},
    // With a window: the entry's UninstallString, which goes on from a temporary copy.
    {L"UNINSTALL", OptionId::Uninstall, false, Runs::Both},
    {L"LOG", OptionId::Log, true, Runs::Both},
    {L"ALLUSERS", OptionId::AllUsers, false, Runs::Both},
    {L"CURRENTUSER", OptionId::CurrentUser, false, Runs::Both},
    {L"RESETDATABASE", OptionId::ResetDatabase, false, Runs::Silent},
    // What generic tooling adds for installers of this kind; nothing here
    // shows a box, restarts Windows or asks before starting.
    {L"SUPPRESSMSGBOXES", OptionId::SuppressMessageBoxes, false, Runs::Both},
    {L"NORESTART", OptionId::NoRestart, false, Runs::Both},
    {L"SP-", OptionId::NoStartPrompt, false, Runs::Both},
    {L"SECONDPHASE", OptionId::SecondPhase, true, Runs::Both},
    {L"?", OptionId::Usage, false, Runs::Both},
    {L"SOURCE", OptionId::Source, true, Runs::Both},
    // Makes a copy of the server without a window, with or without /SILENT.
    {L"LAYOUT", OptionId::Layout, true, Runs::Both},
    {L"CLOSEAPPLICATIONS", OptionId::CloseApplications, false, Runs::Silent},
    {L"ALLOWDOWNGRADE", OptionId::AllowDowngrade, false, Runs::Both},
    // With a window or without: the window keeps the working tables as they are.
    {L"REPAIR", OptionId::Repair, false, Runs::Both},
    // In a per-user entry's command lines: whose installation they remove or repair.
    {L"OWNER", OptionId::Owner, true, Runs::Both},
}};

// What a run that makes a copy of the server does not take.
constexpr std::array<OptionId, 15> kNotWithLayout{
    OptionId::AcceptLicence, OptionId::Edition, OptionId::Dir, OptionId::Components, OptionId::NoShortcuts,
    OptionId::Shortcuts, OptionId::Uninstall, OptionId::AllUsers, OptionId::CurrentUser, OptionId::ResetDatabase,
    OptionId::Source, OptionId::CloseApplications, OptionId::AllowDowngrade, OptionId::Repair, OptionId::Owner};

const KnownOption* FindOption(const std::wstring& upperName) {
    for (const auto& option : kOptions)
        if (upperName == option.name) return &option;
    return nullptr;
}

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// Splits "a,b,c" and hands each upper-cased item to accept, which says
// whether it knows it. Returns the reason of the first refusal, if any.
std::optional<std::wstring> ForEachItem(const std::wstring& list, const std::function<bool(const std::wstring&)>& accept) {
    std::size_t start = 0;
    for (;;) {
        const auto comma = list.find(L',', start);
        const std::wstring item = Trimmed(list.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (item.empty()) return std::wstring(kEmptyItem);
        if (!accept(services::UpperCaseAscii(item))) return kUnknownItem + item;
        if (comma == std::wstring::npos) return std::nullopt;
        start = comma + 1;
    }
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// A security identifier as Windows writes it: "S-1-", then numbers joined by "-".
bool IsAccountId(const std::wstring& value) {
    const std::wstring start(kAccountIdStart);
    if (services::UpperCaseAscii(value.substr(0, start.size())) != start || value.size() == start.size()) return false;
    bool digitBefore = false;
    for (std::size_t i = start.size(); i < value.size(); ++i) {
        const bool digit = value[i] >= L'0' && value[i] <= L'9';
        if (!digit && (value[i] != L'-' || !digitBefore)) return false;
        digitBefore = digit;
    }
    return digitBefore;
}

// Every "\"-separated part after the root: not empty, not "." or "..",
// no character a folder name cannot hold.
bool ValidFolderParts(const std::wstring& rest) {
    if (rest.empty()) return true;
    if (rest.back() == L'\\') return false;
    // Split by hand: a string stream would bring the whole of iostreams and
    // locales into the installer, several hundred KiB.
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = std::min(rest.find(L'\\', start), rest.size());
        const std::wstring_view part(rest.data() + start, end - start);
        if (part.empty() || part == L"." || part == L"..") return false;
        for (wchar_t c : part)
            if (c < 32 || kInvalidPathCharacters.find(c) != std::wstring_view::npos) return false;
        start = end + 1;
    }
    return true;
}

// A drive ("D:", "D:\...") or a network share ("\\server\share\...").
std::optional<std::wstring> NormalisedDirectory(std::wstring value) {
    while (value.size() > 2 && value.back() == L'\\') value.pop_back();
    if (value.size() >= 2 && IsAsciiLetter(value[0]) && value[1] == L':') {
        if (value.size() == 2) return value;
        if (value[2] != L'\\' || !ValidFolderParts(value.substr(3))) return std::nullopt;
        return value;
    }
    if (value.rfind(L"\\\\", 0) == 0) {
        const std::wstring rest = value.substr(2);
        if (std::count(rest.begin(), rest.end(), L'\\') < 1 || !ValidFolderParts(rest)) return std::nullopt;
        return value;
    }
    return std::nullopt;
}

// A folder below the installer's own: "pliki", ".\\pliki".
std::optional<std::wstring> RelativeFolder(std::wstring value) {
    while (value.rfind(kHere, 0) == 0) value.erase(0, 2);
    while (!value.empty() && value.back() == L'\\') value.pop_back();
    if (value.empty() || value[0] == L'\\' || !ValidFolderParts(value)) return std::nullopt;
    return value;
}

class Parser {
public:
    ParsedCommandLine result;

    void argument(const std::wstring& text) {
        if (result.error) return;
        if (text.empty() || (text[0] != L'/' && text[0] != L'-')) return fail(text, kNotAnOption);
        const auto equals = text.find(L'=');
        const std::wstring name = services::UpperCaseAscii(text.substr(1, equals == std::wstring::npos ? std::wstring::npos : equals - 1));
        const KnownOption* known = FindOption(name);
        if (known == nullptr) return fail(text, kUnknownOption);
        if (given(known->id)) return fail(text, kRepeated);
        if (!known->takesValue && equals != std::wstring::npos) return fail(text, kTakesNoValue);
        const std::wstring value = equals == std::wstring::npos ? std::wstring() : text.substr(equals + 1);
        if (known->takesValue && value.empty()) return fail(text, kNeedsValue);
        if (known->runs == Runs::Silent && !isSilent(known->id) && firstOfSilentRun_.empty()) firstOfSilentRun_ = text;
        given_[known->id] = text;
        apply(known->id, text, value);
    }

    void finish() {
        if (result.error) return;
        auto& options = result.options;
        if (given(OptionId::NoShortcuts) && given(OptionId::Shortcuts)) return fail(given_[OptionId::Shortcuts], kShortcutConflict);
        if (given(OptionId::AllUsers) && given(OptionId::CurrentUser)) return fail(given_[OptionId::CurrentUser], kScopeConflict);
        // Only a per-user installation has an owner.
        if (given(OptionId::AllUsers) && given(OptionId::Owner)) return fail(given_[OptionId::Owner], kScopeConflict);
        if (given(OptionId::Owner) && !options.uninstall && !options.repair && !options.layout)
            return fail(given_[OptionId::Owner], kOwnerNeedsAction);
        if (options.uninstall)
            for (OptionId id : {OptionId::Components, OptionId::Shortcuts, OptionId::NoShortcuts, OptionId::ResetDatabase,
                                OptionId::AllowDowngrade})
                if (given(id)) return fail(given_[id], kUninstallConflict);
        // A repair never resets the working tables, and removes nothing.
        if (options.repair)
            for (OptionId id : {OptionId::Uninstall, OptionId::ResetDatabase})
                if (given(id)) return fail(given_[id], kRepairConflict);
        if (options.resetDatabase && !options.database) return fail(given_[OptionId::ResetDatabase], kResetNeedsDatabase);
        if (options.layout) {
            for (OptionId id : kNotWithLayout)
                if (given(id)) return fail(given_[id], kLayoutConflict);
            return;
        }
        if (!options.silent) {
            if (!firstOfSilentRun_.empty()) fail(firstOfSilentRun_, kNeedsSilent);
            return;
        }
        if (!options.showUsage && !options.edition) fail(kEditionOption, kMissingEdition);
    }

private:
    void fail(const std::wstring& argument, const std::wstring& reason) {
        if (!result.error) result.error = CommandLineError{argument, reason};
    }
    bool given(OptionId id) const { return given_.count(id) != 0; }
    static bool isSilent(OptionId id) { return id == OptionId::Silent || id == OptionId::VerySilent; }

    void apply(OptionId id, const std::wstring& text, const std::wstring& value) {
        auto& options = result.options;
        switch (id) {
            case OptionId::Silent:
            case OptionId::VerySilent: options.silent = true; break;
            case OptionId::AcceptLicence: options.acceptLicence = true; break;
            case OptionId::Uninstall: options.uninstall = true; break;
            case OptionId::Repair: options.repair = true; break;
            case OptionId::Usage: options.showUsage = true; break;
            case OptionId::NoShortcuts:
                options.desktopShortcut = options.startMenuShortcut = false;
                options.shortcutsGiven = true;
                break;
            case OptionId::Log: options.logFile = value; break;
            case OptionId::AllUsers: options.allUsers = options.scopeGiven = true; break;
            case OptionId::AllowDowngrade: options.allowDowngrade = true; break;
            case OptionId::ResetDatabase: options.resetDatabase = true; break;
            case OptionId::CloseApplications: options.closeApplications = true; break;
            case OptionId::SecondPhase: options.secondPhase = value; break;
            case OptionId::CurrentUser: options.scopeGiven = true; break;
            case OptionId::SuppressMessageBoxes:
            case OptionId::NoRestart:
            case OptionId::NoStartPrompt: break;
            case OptionId::Edition: edition(text, value); break;
            case OptionId::Dir: directory(text, value); break;
            case OptionId::Components: components(text, value); break;
            case OptionId::Shortcuts: shortcuts(text, value); break;
            case OptionId::Source: source(text, value); break;
            case OptionId::Layout: layout(text, value); break;
            case OptionId::Owner:
                if (!IsAccountId(value)) return fail(text, kBadAccount);
                options.owner = value;
                break;
        }
    }

    // A folder, or the address of a copy served over HTTP(S), which follows
    // the rule for the download server's own address.
    void source(const std::wstring& text, const std::wstring& value) {
        if (!IsSourceAddress(value)) {
            const auto folder = CopyFolder(value);
            if (!folder) return fail(text, kBadSource);
            result.options.source = *folder;
            return;
        }
        const std::wstring address = value.back() == L'/' ? value : value + L'/';
        switch (services::JudgeDownloadUrl(address, services::BuildAllowsPlainHttp())) {
            case services::DownloadUrlVerdict::Accepted: result.options.source = address; return;
            case services::DownloadUrlVerdict::Malformed: return fail(text, kBadSource);
            case services::DownloadUrlVerdict::PlainHttpToAnotherMachine: return fail(text, kUnencryptedSource);
        }
    }

    void layout(const std::wstring& text, const std::wstring& value) {
        const auto folder = CopyFolder(value);
        if (!folder) return fail(text, kBadDirectory);
        result.options.layout = *folder;
    }

    static std::optional<std::wstring> CopyFolder(const std::wstring& value) {
        if (const auto folder = NormalisedDirectory(value)) return folder;
        return RelativeFolder(value);
    }

    void edition(const std::wstring& text, const std::wstring& value) {
        const std::wstring wanted = services::UpperCaseAscii(value);
        for (std::size_t i = 0; i < services::kEditions.size(); ++i)
            if (services::UpperCaseAscii(std::wstring(services::kEditions[i].name)) == wanted) {
                result.options.edition = static_cast<int>(i);
                return;
            }
        fail(text, kUnknownEdition);
    }

    void directory(const std::wstring& text, const std::wstring& value) {
        const auto folder = NormalisedDirectory(value);
        if (!folder) return fail(text, kBadDirectory);
        // The location field would cut a longer one, and another folder would be used.
        if (folder->size() > services::kMaxLocationLength)
            return fail(text, kDirectoryTooLong + std::to_wstring(services::kMaxLocationLength) + kCharacters);
        result.options.directory = *folder;
    }

    void components(const std::wstring& text, const std::wstring& value) {
        auto& options = result.options;
        options.componentsGiven = true;
        options.program = options.database = options.engine = false;
        const auto refusal = ForEachItem(value, [&](const std::wstring& item) {
            if (item == L"PROGRAM") return options.program = true;
            if (item == L"DATABASE") return options.database = true;
            if (item == L"ENGINE") return options.engine = true;
            return false;
        });
        if (refusal) fail(text, *refusal);
    }

    void shortcuts(const std::wstring& text, const std::wstring& value) {
        auto& options = result.options;
        options.shortcutsGiven = true;
        options.desktopShortcut = options.startMenuShortcut = false;
        const auto refusal = ForEachItem(value, [&](const std::wstring& item) {
            if (item == L"DESKTOP") return options.desktopShortcut = true;
            if (item == L"STARTMENU") return options.startMenuShortcut = true;
            return false;
        });
        if (refusal) fail(text, *refusal);
    }

    // Every option given so far, as it was written.
    std::map<OptionId, std::wstring> given_;
    // The first argument that only a run without a window understands.
    std::wstring firstOfSilentRun_;
};

constexpr const wchar_t* kUsageHead =
    L"Instalator.exe bez opcji: instalacja w oknie.\n"
    L"Instalacja i usunięcie bez okna:\n\n"
    L"/SILENT (także /VERYSILENT) – bez okna i bez pytań (wymaga /EDITION, a instalacja także /ACCEPTLICENCE)\n"
    L"/ACCEPTLICENCE – akceptacja warunków licencji w imieniu użytkowników\n"
    L"/EDITION=<nazwa> – ";
constexpr const wchar_t* kUsageDirBefore =
    L"\n/DIR=<dysk lub folder> – np. D: lub \"D:\\Moje programy\"; brakujący folder zostanie utworzony; "
    L"instalacja w podfolderze ";
constexpr const wchar_t* kUsageDirDefault = L" (domyślnie folder z wpisu edycji w „Aplikacje i funkcje”, bez wpisu ";
constexpr const wchar_t* kUsageTail =
    L")\n"
    L"/COMPONENTS=program,database,engine – wybrane składniki (domyślnie te z ostatniej instalacji edycji, bez "
    L"niej program); istniejące pliki robocze "
    L"bazy danych pozostają bez zmian\n"
    L"/RESETDATABASE – pliki robocze bazy danych zastąpione pierwotnymi (jak w oknie)\n"
    L"/CLOSEAPPLICATIONS – programy używające zastępowanych plików poproszone o zamknięcie (nigdy "
    L"wymuszone); bez tej opcji instalacja kończy się wtedy kodem 14\n"
    L"/SHORTCUTS=desktop,startmenu – wybrane skróty (domyślnie te z ostatniej instalacji edycji, bez niej oba)\n"
    L"/NOSHORTCUTS – bez skrótów\n"
    L"/ALLUSERS – skróty i wpis w „Aplikacje i funkcje” dla wszystkich użytkowników; /CURRENTUSER – "
    L"dla bieżącego użytkownika (domyślnie)\n"
    L"/UNINSTALL – usunięcie instalacji wybranej edycji (bez /ACCEPTLICENCE)\n"
    L"/ALLOWDOWNGRADE – zgoda na zastąpienie nowszego zainstalowanego wydania starszym (bez niej instalacja "
    L"kończy się kodem 16)\n"
    L"/REPAIR – naprawa instalacji wybranej edycji, także w oknie: program pobrany ponownie, brakujące "
    L"pliki pobrane, skróty i wpis zapisane ponownie, pliki robocze bazy danych bez zmian (bez "
    L"/ACCEPTLICENCE; bez /DIR folder z wpisu w „Aplikacje i funkcje”)\n"
    L"/OWNER=<SID> – konto, którego instalację usuwa lub naprawia polecenie z wpisu instalacji dla jednego "
    L"użytkownika; uruchomione na innym koncie (np. z uprawnieniami administratora podanymi przy monicie) działa "
    L"dalej na koncie właściciela, gdy to on jest użytkownikiem pulpitu, a inaczej kończy się kodem 17, niczego "
    L"nie zmieniając\n"
    L"/LOG=<plik> – dziennik przebiegu w UTF-8 (domyślnie Kanvel-Instalator.log w folderze plików tymczasowych)\n"
    L"/SOURCE=<folder lub adres https://> – pliki z kopii utworzonej przez /LAYOUT zamiast z serwera; "
    L"folder względny leży w folderze instalatora\n"
    L"/LAYOUT=<folder> – kopia wszystkich plików serwera z listą ich sum SHA-256 (bez okna)\n"
    L"/SUPPRESSMSGBOXES, /NORESTART, /SP- – przyjmowane, bez skutku\n"
    L"/? – ten opis\n\n"
    L"W oknie działają /DIR, /LOG, /SOURCE, /ALLUSERS, /CURRENTUSER, /ALLOWDOWNGRADE, /REPAIR, /UNINSTALL i /OWNER.\n\n"
    L"Kody wyjścia: 0 sukces, 1 nieoczekiwany błąd, 2 błędne opcje, 3 brak akceptacji licencji, "
    L"4 nieudane pobranie, 5 przerwane kopiowanie bazy danych, 6 usunięcie niepełne, 7 program bez "
    L"podpisu producenta, 8 program bez innego składnika, 9 program bez skrótu lub wpisu, 11 proxy wymaga "
    L"logowania, 12 plik niezgodny z listą plików, 13 za mało miejsca na dysku, 14 pliki w użyciu, "
    L"15 instalator silnika nie uruchomiony, 16 zainstalowane jest nowsze wydanie, 17 instalacja innego konta, "
    L"18 lista plików wydania odrzucona (brak, zmieniona lub bez podpisu producenta), 1618 trwa inna instalacja.";
}  // namespace

bool IsSourceAddress(const std::wstring& source) {
    const std::wstring upper = services::UpperCaseAscii(source);
    return upper.rfind(kHttp, 0) == 0 || upper.rfind(kHttps, 0) == 0;
}

ParsedCommandLine CommandLine::Parse(const std::vector<std::wstring>& arguments) {
    Parser parser;
    for (const auto& argument : arguments) parser.argument(argument);
    parser.finish();
    return parser.result;
}

std::wstring CommandLine::Usage() {
    std::wstring editions;
    for (const auto& edition : services::kEditions) editions += (editions.empty() ? L"" : L", ") + std::wstring(edition.name);
    using services::InstallationPaths;
    return kUsageHead + editions + kUsageDirBefore + InstallationPaths::FamilyFolderName() + kUsageDirDefault +
           InstallationPaths::DefaultLocation() + kUsageTail;
}

}  // namespace kanvel::app
