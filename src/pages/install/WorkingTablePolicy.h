#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pages/install/DatabaseFileSets.h"

namespace kanvel::install {

// Which working tables of the database the copy takes from the pristine
// folder. The window's way takes every listed table, each existing one
// replaced by its pristine copy; a run without a window keeps the users'
// work in the tables that exist already, so that a repeated installation
// loses nothing, unless it is told to reset them.
class WorkingTablePolicy {
public:
    // The window's way.
    WorkingTablePolicy() = default;
    static WorkingTablePolicy WithoutWindow(bool resetDatabase);

    // Whether a working table that exists already is replaced.
    bool ReplacesExisting() const { return replacesExisting_; }

    struct Selection {
        std::vector<std::wstring> names;     // the tables to copy, in slot order
        std::vector<std::wstring> replaced;  // the paths of those that exist and are replaced, in order
    };
    // The tables of a set that the copy into TARGET_FOLDER takes; EXISTS
    // tells whether a working table's path is there.
    Selection Select(const DatabaseFileSet& set, const std::wstring& targetFolder,
                     const std::function<bool(const std::wstring&)>& exists) const;

private:
    explicit WorkingTablePolicy(bool replacesExisting) : replacesExisting_(replacesExisting) {}

    bool replacesExisting_ = true;
};

}  // namespace kanvel::install
