#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace kanvel::platform::host {

// Everything the program did to the outside world in a test, in order:
// sleeps, cursor moves, messages, dialogs, message pumps... A program
// file's signature is read on a thread of its own while the window's
// thread goes on, so both may add at once.
class EventLog {
public:
    void add(std::wstring entry) {
        const std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::wstring> entries() const {
        const std::lock_guard lock(mutex_);
        return entries_;
    }
    void clear() {
        const std::lock_guard lock(mutex_);
        entries_.clear();
    }
    // The entries that start with the prefix, in order.
    std::vector<std::wstring> withPrefix(const std::wstring& prefix) const {
        std::vector<std::wstring> found;
        for (const auto& e : entries())
            if (e.rfind(prefix, 0) == 0) found.push_back(e);
        return found;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> entries_;
};

}  // namespace kanvel::platform::host
