#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "services/installer/BuildSettings.h"
#include "services/system/Clock.h"
#include "services/system/Cryptography.h"
#include "services/download/DownloadView.h"
#include "services/download/FetchAhead.h"
#include "services/download/FetchOutcome.h"
#include "services/system/FileSystem.h"
#include "services/http/HttpClient.h"
#include "services/localcopy/LocalSource.h"
#include "services/localcopy/ReleaseList.h"
#include "services/system/PlatformRoles.h"
#include "services/trust/ProgramVerification.h"
#include "services/system/Screen.h"

namespace kanvel::services {

class ResumingSink;

// The path of a file below the download server's root: a file with an
// extension is kept there as name + "._" + extension ("sterowniki/bde/setup._exe").
std::wstring ServerPath(const std::wstring& serverFolder, const std::wstring& fileName, const std::wstring& extension);

// Fetches one component file from the download server into a local folder.
// It decides from the local file and the authenticate flag whether to fetch
// at all, shows what it does on its view (status line and progress bar,
// which it drives from the client's progress events), reports every failure
// to the user itself and tells the caller what happened.
//
// A file is stored only when it is known to be whole: the answer declared
// its length (Content-Length; never a body in chunks or one that ends when
// the connection closes) and exactly that many bytes arrived. A program
// file (extension "exe") is stored only when its signature is the maker's,
// checked while it is still the partial file, when the build names the
// maker (ProgramVerification). Anything else fails like any other failed
// download: the old file stays as it was and no partial file is left.
//
// A transfer that fails for a passing reason (the connection reset, refused
// or timed out, a body cut short, a busy server or gateway) is tried again
// up to three times, after growing pauses in which the window stays alive;
// the user hears of the failure only after the last try. Once a file has
// failed for want of a connection after its tries, the server is taken to
// be out of reach: each later file is tried once, so that a run against a
// server that is down reports every file in seconds instead of waiting out
// the pauses for each one. A file that arrives again, or any answer of
// the server, brings the tries back.
//
// A program file (extension "exe") cut short keeps what arrived, and the
// next try (in this run) asks only for the rest when the server named a
// validator for it. When the user ends the program, the partial file goes.
//
// A body whose declared length the target volume's free space cannot hold
// is refused before any of it is written, and a write that fails because
// the volume is full ends the same way: the partial file goes, and the
// failure is FetchOutcome::Failure::DiskFull.
class ComponentDownload {
public:
    ComponentDownload(PlatformRoles<FileSystem, Cryptography, Clock, Screen> platform, HttpClient& client,
                      DownloadView& view, const ProgramVerification& verification,
                      std::wstring baseUrl = std::wstring(BuildDownloadBaseUrl()),
                      bool plainHttpAllowed = BuildAllowsPlainHttp());

    // Stored when it fetched and stored the file (or, authenticated, found a
    // file without extension already there). A call made while a transfer
    // is running is refused and changes nothing. The arguments are taken by
    // value: whatever the user does while the file arrives, it is fetched
    // and stored under the names the call was made with. When the user ends
    // the program meanwhile, the transfer stops, nothing is stored and
    // services::BrokenOff is thrown.
    FetchOutcome Fetch(std::wstring serverFolder, std::wstring fileName, std::wstring extension, bool authenticate,
                       std::wstring targetFolder);

    // Takes every file from a local copy of the server instead (nothing:
    // from the server again). A file that is not as the copy's list names
    // it is refused (FetchOutcome::Failure::NotAsListed).
    void TakeFilesFrom(const LocalSource* source) { source_ = source; }

    // Checks every file fetched from the server against the release's list
    // (nothing: no list), by size and SHA-256 before it replaces anything:
    // a file that is not as the list names it, or not listed, is refused
    // (FetchOutcome::Failure::NotAsListed).
    void CheckAgainst(const ReleaseList* release) { release_ = release; }

    // Fetches one file of the download server, named by its path there
    // (ServerPath), into exactly that local path, for a copy of the server:
    // the body judged whole, a program checked by its signature, as Fetch
    // does; an existing file is replaced without a notice.
    FetchOutcome FetchServerFile(const std::wstring& serverPath, bool authenticate, bool program,
                                 const std::wstring& localPath);

    // The files without extension, fetched without credentials, that the
    // next calls will ask for in this order: those missing from the target
    // folder are requested ahead, several at a time (FetchAhead). Each is
    // still shown, judged and stored when its own call comes, exactly as if
    // it had been fetched then. A failed file ends fetching ahead: the
    // transfers after it are given up, their partial files removed, and the
    // later calls fetch one file at a time.
    void ExpectNext(const std::wstring& serverFolder, const std::vector<std::wstring>& fileNames,
                    const std::wstring& targetFolder);

    // The bytes the same call of Fetch would write, when they are known
    // before anything is asked for: none for a file it would find there,
    // the size its list names for a file of a local copy. Nothing for a
    // file of the server: its size comes only with the server's answer.
    std::optional<std::uint64_t> PlannedSize(const std::wstring& serverFolder, const std::wstring& fileName,
                                             const std::wstring& extension, bool authenticate,
                                             const std::wstring& targetFolder) const;

    // A file a run is to write, with its size known beforehand.
    struct PlannedWrite {
        std::wstring localPath;
        std::uint64_t size = 0;
    };
    // A run whose known bytes the volume cannot hold: the file at which they
    // stopped fitting, and its failure, shown as Fetch shows a file the
    // volume cannot hold.
    struct RunTooLarge {
        std::wstring file;
        FetchOutcome outcome;
    };
    // Before a run's first request: the writes, in the run's order, against
    // the free space of the volume that holds the folder. Nothing when they
    // fit (or the free space cannot be told).
    std::optional<RunTooLarge> CheckRoomForRun(const std::wstring& folder, const std::vector<PlannedWrite>& writes);

private:
    // The client's progress events, shown on the view's bar.
    void WorkBegin(std::int64_t expected);
    void Work(std::int64_t done);
    // Lets the window answer; stops the work when the user has ended the program.
    void KeepWorkingOrStop();
    struct Failure {
        FetchOutcome::Failure kind;
        std::wstring text;
    };
    std::optional<Failure> attempt(const std::wstring& localPath, const std::function<void()>& work);
    void checkBaseUrl() const;
    void transfer(const GetRequest& request, const std::wstring& serverPath, const std::wstring& localPath,
                  bool program);
    // One try of the transfer, going on from a partial file kept for resuming.
    void transferOnce(GetRequest request, const std::wstring& serverPath, const std::wstring& localPath,
                      bool program);
    void checkListed(const std::wstring& serverPath, const FileFacts& arrived) const;
    // Retry.
    void announceRetry(int retry);
    void pause(int milliseconds);
    // Resume.
    // Sets `resume` to where the kept part ends.
    std::unique_ptr<ReplacingFile> openPartialFile(const std::wstring& localPath, std::optional<ResumePoint>& resume,
                                                   std::unique_ptr<Sha256Digest>& digest);
    void takeBody(const DeclaredBody& declared, std::int64_t received, std::int64_t held, ReplacingFile& file);
    void dropPartial(const std::wstring& localPath);
    void keepForResume(const std::wstring& localPath, ResumingSink& sink, ReplacingFile& file,
                       const std::optional<ResumePoint>& resumed);
    void copyFromSource(const std::wstring& serverPath, const std::wstring& localPath, bool program);
    // The signature is read off this thread; the window answers meanwhile.
    void checkSignature(ReplacingFile& file);
    FetchOutcome failed(const std::wstring& errorText, FetchOutcome::Failure kind);

    FileSystem& files_;
    Cryptography& cryptography_;
    Clock& clock_;
    Screen& screen_;
    HttpClient& client_;
    DownloadView& view_;
    const ProgramVerification& verification_;
    FetchAhead ahead_;
    std::wstring baseUrl_;
    bool plainHttpAllowed_;
    const LocalSource* source_ = nullptr;
    const ReleaseList* release_ = nullptr;
    bool running_ = false;
    // Bodies of 2 GiB or more are shown in units of 2^shift bytes.
    int progressShift_ = 0;
    // Bytes already held when the body goes on from a partial file.
    std::int64_t resumedBytes_ = 0;
    // A partial file kept in this run for resuming: the validator of the
    // body it holds part of, the digest of what it holds and its size.
    struct KeptPart {
        std::wstring validator;
        std::unique_ptr<Sha256Digest> digest;
        std::int64_t size = 0;
    };
    std::map<std::wstring, KeptPart> resumable_;
    // The last file that failed found no connection after all its tries,
    // and the server has not answered since: later files get one try each.
    bool serverUnreachable_ = false;
};

}  // namespace kanvel::services
