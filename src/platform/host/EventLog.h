#pragma once

#include <string>
#include <vector>

namespace kanvel::platform::host {

// Everything the program did to the outside world in a test, in order:
// sleeps, cursor moves, messages, dialogs, message pumps...
class EventLog {
public:
    void add(std::wstring entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::wstring>& entries() const { return entries_; }
    void clear() { entries_.clear(); }
    // The entries that start with the prefix, in order.
    std::vector<std::wstring> withPrefix(const std::wstring& prefix) const {
        std::vector<std::wstring> found;
        for (const auto& e : entries_)
            if (e.rfind(prefix, 0) == 0) found.push_back(e);
        return found;
    }

private:
    std::vector<std::wstring> entries_;
};

}  // namespace kanvel::platform::host
