#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/http/HttpClient.h"
#include "services/system/Cryptography.h"
#include "services/system/FileSystem.h"
#include "services/trust/FileDigest.h"

namespace kanvel::services {

// A file whose request went out before its turn: its body goes to the
// partial file of its local path while other files are waited for, counted
// and digested on the way.
struct AheadFile {
    std::wstring url;
    std::wstring localPath;
    std::unique_ptr<ReplacingFile> file;
    std::unique_ptr<DigestingSink> counted;
    std::unique_ptr<StartedGet> get;
};

// Files the caller will ask for next, in order, fetched ahead of their turn
// so that the round trips of many small files overlap (the client decides
// how many requests are out at a time). The caller still takes them one by
// one, in its own order, and judges and stores each as if it had just been
// fetched; a file taken out of the planned order drops the plan. Dropping
// gives every transfer up and removes its partial file, so that nothing
// fetched ahead stays behind.
class FetchAhead {
public:
    // Files started and not yet taken, each with its partial file open:
    // enough to keep every request of the client busy.
    static constexpr std::size_t kMostFilesAhead = 4 * HttpClient::kMostRequestsAtOnce;

    FetchAhead(FileSystem& files, Cryptography& cryptography, HttpClient& client);

    struct PlannedFile {
        std::wstring url;
        std::wstring localPath;
    };
    // Replaces any earlier plan and starts the first transfers.
    void Plan(std::vector<PlannedFile> files);
    // The file's transfer when it is the next one planned, after the next
    // ones have been started; nothing, and no plan any more, otherwise.
    std::optional<AheadFile> Take(const std::wstring& url, const std::wstring& localPath);
    void Drop();

private:
    void StartMore();

    FileSystem& files_;
    Cryptography& cryptography_;
    HttpClient& client_;
    std::deque<PlannedFile> waiting_;
    std::deque<AheadFile> started_;
};

}  // namespace kanvel::services
