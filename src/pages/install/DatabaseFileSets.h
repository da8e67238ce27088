#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "services/paths/InstallationPaths.h"

namespace kanvel::install {

// One of the three fixed sets of database table files: its ordered slots
// (an empty slot is skipped), its working folder in the installation and
// the first lines of its two failure notices.
struct DatabaseFileSet {
    std::span<const std::wstring_view> slots;
    services::DatabaseFolder workingFolder;
    std::wstring_view cannotPrepare;   // the old target file cannot be deleted
    std::wstring_view cannotTransfer;  // the copy fails
    // Only the statement set skips a slot whose pristine file is missing.
    bool skipsMissingSource;
};

inline constexpr std::array<std::wstring_view, 10> kStatementSlots{
    L"zestaw1.db", L"zestaw2.db", L"zestaw3.db", L"zestaw4.db", L"zestaw5.db",
    L"zestaw6.db", L"",           L"zestaw1.px", L"zestaw2.px", L"zestaw5.px"};

inline constexpr std::array<std::wstring_view, 30> kDataSlots{
    L"baza1.db",  L"baza2.db",  L"baza3.db",  L"baza4.db",  L"baza5.db",  L"",          L"",          L"baza11.db",
    L"baza12.db", L"",          L"baza1.px",  L"baza2.px",  L"baza3.px",  L"baza4.px",  L"baza5.px",  L"",
    L"",          L"baza11.px", L"baza12.px", L"",          L"",          L"baza2.val", L"baza3.val", L"baza4.val",
    L"",          L"baza31.db", L"baza41.db", L"baza42.db", L"baza41.px", L"baza42.px"};

inline constexpr std::array<std::wstring_view, 48> kConfigurationSlots{
    L"config1.db",   L"config2.db",   L"config3.db",   L"config4.db",   L"config21.db",  L"config22.db",
    L"config23.db",  L"config24.db",  L"config25.db",  L"config26.db",  L"config1.px",   L"config2.px",
    L"config3.px",   L"",             L"config21.px",  L"config22.px",  L"config23.px",  L"",
    L"config25.px",  L"config26.px",  L"config.db",    L"config2.val",  L"config3.val",  L"",
    L"config21.val", L"config22.val", L"config23.val", L"",             L"config25.val", L"config26.val",
    L"config31.db",  L"config32.db",  L"config33.db",  L"config34.db",  L"config35.db",  L"config36.db",
    L"config31.px",  L"config32.px",  L"config33.px",  L"",             L"config35.px",  L"config36.px",
    L"config31.val", L"config32.val", L"config33.val", L"",             L"config35.val", L"config36.val"};

inline constexpr DatabaseFileSet kStatementSet{kStatementSlots, services::DatabaseFolder::Statements,
                                               L"Niemożliwe przygotowanie bazy na przyjęcie zestawień",
                                               L"Niemożliwe przekazanie zestawień do bazy tymczasowej", true};
inline constexpr DatabaseFileSet kDataSet{kDataSlots, services::DatabaseFolder::Data,
                                          L"Niemożliwe przygotowanie bazy na przyjęcie danych",
                                          L"Niemożliwe przekazanie danych do bazy tymczasowej", false};
inline constexpr DatabaseFileSet kConfigurationSet{kConfigurationSlots, services::DatabaseFolder::Configuration,
                                                   L"Niemożliwe przygotowanie bazy Cfg na przyjęcie danych",
                                                   L"Niemożliwe przekazanie danych do bazy Cfg", false};

inline constexpr std::wstring_view kTablesServerFolder = L"programy/wersja7/bkp6";

// Every file of the three sets in the order the database run fetches them:
// the data set, then the configuration set, then the statement set.
inline std::vector<std::wstring> TablesInFetchOrder() {
    std::vector<std::wstring> names;
    for (const DatabaseFileSet* set : {&kDataSet, &kConfigurationSet, &kStatementSet})
        for (auto name : set->slots)
            if (!name.empty()) names.emplace_back(name);
    return names;
}

}  // namespace kanvel::install
