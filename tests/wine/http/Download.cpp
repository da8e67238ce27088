#include "Download.h"

#include <algorithm>

#include "services/installer/InstallerError.h"

namespace kanvel::tests {
namespace {

using Kind = ProgressEvent::Kind;

class MemorySink : public services::ByteSink {
public:
    explicit MemorySink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    void Write(const std::uint8_t* data, std::size_t size) override { bytes_.insert(bytes_.end(), data, data + size); }

private:
    std::vector<std::uint8_t>& bytes_;
};

void RecordProgress(services::HttpClient& client, std::vector<ProgressEvent>& events) {
    client.OnWorkBegin = [&events](services::HttpClient&, services::WorkMode mode, std::int64_t expected) {
        events.push_back({Kind::Begin, mode, expected});
    };
    client.OnWork = [&events](services::HttpClient&, services::WorkMode mode, std::int64_t done) {
        events.push_back({Kind::Work, mode, done});
    };
    client.OnWorkEnd = [&events](services::HttpClient&, services::WorkMode mode) {
        events.push_back({Kind::End, mode, 0});
    };
}

long CountOf(const Download& download, Kind kind) {
    return std::count_if(download.events.begin(), download.events.end(),
                         [kind](const ProgressEvent& event) { return event.kind == kind; });
}

// Checks the frame shared by every body: Begin first, End last, once each,
// all in Reading mode, totals rising. Returns the last total (0 if none).
std::int64_t CheckProgressFrame(CheckList& checks, const Download& download, std::int64_t announced,
                                const std::string& what) {
    const auto& events = download.events;
    checks.CheckEqual(CountOf(download, Kind::Begin), 1, what + ": one OnWorkBegin");
    checks.CheckEqual(CountOf(download, Kind::End), 1, what + ": one OnWorkEnd");
    if (events.empty()) {
        return 0;
    }
    checks.Check(events.front().kind == Kind::Begin, what + ": OnWorkBegin comes first");
    checks.CheckEqual(events.front().value, announced, what + ": OnWorkBegin announces the length");
    checks.Check(events.back().kind == Kind::End, what + ": OnWorkEnd comes last");
    checks.Check(std::all_of(events.begin(), events.end(),
                             [](const ProgressEvent& event) { return event.mode == services::WorkMode::Reading; }),
                 what + ": every event is in Reading mode");
    std::int64_t last = 0;
    bool rising = true;
    for (const auto& event : events) {
        if (event.kind == Kind::Work) {
            rising = rising && event.value > last;
            last = event.value;
        }
    }
    checks.Check(rising, what + ": OnWork totals rise with every block");
    return last;
}

}  // namespace

Download Fetch(services::HttpClient& client, const std::wstring& url,
               const std::optional<services::ServerCredentials>& credentials) {
    Download download;
    RecordProgress(client, download.events);
    MemorySink sink(download.body);
    try {
        download.declared = client.Get({url, std::nullopt, credentials}, sink);
    } catch (const services::InstallerError& error) {
        download.failed = true;
        download.error = error.text();
    }
    client.OnWorkBegin = nullptr;
    client.OnWork = nullptr;
    client.OnWorkEnd = nullptr;
    return download;
}

void CheckCompleteProgress(CheckList& checks, const Download& download, std::int64_t announced,
                           std::int64_t total, const std::string& what) {
    const std::int64_t last = CheckProgressFrame(checks, download, announced, what);
    checks.CheckEqual(last, total, what + ": the last OnWork total is the body size");
    checks.CheckEqual(static_cast<std::int64_t>(download.body.size()), total, what + ": the sink got every byte");
}

void CheckBrokenProgress(CheckList& checks, const Download& download, std::int64_t announced,
                         const std::string& what) {
    const std::int64_t last = CheckProgressFrame(checks, download, announced, what);
    checks.Check(last < announced, what + ": the totals stop short of the announced length");
    checks.CheckEqual(static_cast<std::int64_t>(download.body.size()), last,
                      what + ": the sink got what OnWork counted");
}

}  // namespace kanvel::tests
