#pragma once

#include <memory>
#include <optional>
#include <string>

#include "services/trust/FileDigest.h"
#include "services/http/HttpClient.h"
#include "services/installer/InstallerError.h"
#include "services/localcopy/LayoutList.h"
#include "services/system/Cryptography.h"
#include "services/system/FileSystem.h"
#include "services/system/PlatformRoles.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::services {

// A file of a local copy that is not the one its list names (or that the
// list does not name at all): it is refused, never used.
class NotAsListed : public InstallerError {
public:
    using InstallerError::InstallerError;
};

// Where a file of the server lies in a copy of it in a folder: the server's
// "/"-separated path below the folder, with Windows' separators.
std::wstring PathInCopy(const std::wstring& folder, const std::wstring& serverPath);

// Where the component files come from instead of the download server: a copy
// of the server's folders and files made by /LAYOUT, with its list, in a
// folder (a drive's or a network share's) or at an https:// address that
// serves such a folder. The copy answers for the server: the same paths, the
// same bytes. Its list is judged by its signature beside it
// (Kanvel-pliki.txt.p7s) as the server's release list is: in a build that
// names the maker a copy without the maker's signature is refused. Every
// file is checked against the list (size and SHA-256) before it is used; services::ComponentDownload does so while the file is
// still its partial file. A folder's files are read without following links:
// a link, or a file that a linked folder puts outside the copy's real
// folder, is refused like a file that does not match the list.
class LocalSource {
public:
    // Why a copy could not be opened: its list cannot be reached or read (a
    // share that is not there yet, a missing list), or it was refused.
    // SignatureRefused: the list is not signed by the maker, in a build that
    // names the maker (the copy's list judged as the server's release list is).
    enum class Problem { None, Unreachable, ListRefused, SignatureRefused };
    struct Opening {
        std::unique_ptr<LocalSource> source;
        Problem problem = Problem::None;
        std::wstring reason;
    };

    // A copy in a folder, given as a full path ("D:\pliki", "\\serwer\kanvel").
    static Opening OpenFolder(PlatformRoles<FileSystem, Cryptography> platform, const ProgramVerification& verification,
                              const std::wstring& folder);
    // A copy served over HTTP: the address ends in "/", and has passed the
    // rule for the download base URL. The client fetches its list now.
    static Opening OpenAddress(Cryptography& cryptography, const ProgramVerification& verification,
                               HttpClient& client, const std::wstring& address);

    // The folder or the address, as the log names it.
    const std::wstring& location() const { return location_; }
    const LayoutList& list() const { return list_; }

    // The file's entry in the list; throws NotAsListed when there is none.
    const ListedFile& Listed(const std::wstring& serverPath) const;
    // Writes the file's bytes to the body as the server would send them,
    // with the client's own progress events (its handlers also tell a
    // running transfer to stop), and says what was declared of the body.
    // Throws InstallerError when the file cannot be had.
    DeclaredBody Deliver(FileSystem& files, HttpClient& client, const std::wstring& serverPath,
                         ByteSink& body) const;
    // Throws NotAsListed when what arrived is not what the list names.
    void Check(const ListedFile& listed, const FileFacts& arrived) const;

private:
    enum class Kind { Folder, Address };
    LocalSource(Kind kind, std::wstring location, std::wstring realFolder, LayoutList list);
    static Opening Judged(Kind kind, const std::wstring& location, const std::wstring& realFolder,
                          Cryptography& cryptography, const ProgramVerification& verification,
                          const std::string& text, const std::optional<std::string>& signature);
    DeclaredBody fromFolder(FileSystem& files, HttpClient& client, const std::wstring& serverPath,
                            ByteSink& body) const;

    Kind kind_;
    std::wstring location_;
    // Where a folder's copy really lies (links resolved); its files must lie below it.
    std::wstring realFolder_;
    LayoutList list_;
};

}  // namespace kanvel::services
