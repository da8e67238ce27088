#include "pages/install/WorkingTablePolicy.h"

#include "services/paths/WindowsPath.h"

namespace kanvel::install {

WorkingTablePolicy WorkingTablePolicy::WithoutWindow(bool resetDatabase) { return WorkingTablePolicy(resetDatabase); }

WorkingTablePolicy::Selection WorkingTablePolicy::Select(const DatabaseFileSet& set, const std::wstring& targetFolder,
                                                         const std::function<bool(const std::wstring&)>& exists) const {
    Selection selection;
    for (auto name : set.slots) {
        if (name.empty()) continue;
        const std::wstring target = services::JoinPath(targetFolder, name);
        if (exists(target)) {
            if (!replacesExisting_) continue;
            selection.replaced.push_back(target);
        }
        selection.names.emplace_back(name);
    }
    return selection;
}

}  // namespace kanvel::install
