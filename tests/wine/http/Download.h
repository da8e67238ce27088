#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "CheckList.h"
#include "services/http/HttpClient.h"

namespace kanvel::tests {

struct ProgressEvent {
    enum class Kind { Begin, Work, End };
    Kind kind;
    services::WorkMode mode;
    std::int64_t value;  // expected length for Begin, running total for Work, 0 for End
};

// What one Get did: what the answer declared, the body it delivered, its
// progress events, and the text of the InstallerError it threw, if any.
struct Download {
    bool failed = false;
    std::wstring error;
    services::DeclaredBody declared;
    std::vector<std::uint8_t> body;
    std::vector<ProgressEvent> events;
};

// Runs client.Get(url) with handlers that record every progress event; with
// `credentials`, the request carries them.
Download Fetch(services::HttpClient& client, const std::wstring& url,
               const std::optional<services::ServerCredentials>& credentials = std::nullopt);

// The progress of a body read to its end: one Begin announcing `announced`
// first, Work totals rising to `total`, one End last.
void CheckCompleteProgress(CheckList& checks, const Download& download, std::int64_t announced,
                           std::int64_t total, const std::string& what);

// The progress of a body that broke off: one Begin announcing `announced`
// first, rising Work totals short of it, one End last.
void CheckBrokenProgress(CheckList& checks, const Download& download, std::int64_t announced,
                         const std::string& what);

}  // namespace kanvel::tests
