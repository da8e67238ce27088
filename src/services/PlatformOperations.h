#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/FileSignature.h"
#include "services/HttpClient.h"
#include "services/Registry.h"
#include "services/Sha256Digest.h"
#include "services/ShellLink.h"
#include "ui/Geometry.h"

namespace kanvel::services {

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// A file being written in place of another: the bytes go to a temporary
// file in the target's folder, and only Commit puts it in the target's place.
// Destroyed without Commit, it removes the temporary file and leaves the
// target exactly as it was. Failures throw InputOutputError.
class ReplacingFile : public ByteSink {
public:
    // The Authenticode signature of what has been written, read from the
    // file as it is held open (nobody can change it in between).
    virtual FileSignature Signature() = 0;
    virtual void Commit() = 0;
    // The bytes the partial file holds.
    virtual std::int64_t Size() = 0;
    // Empties the partial file: what is written next starts it anew.
    virtual void Restart() = 0;
    // Destroyed without Commit after this, the partial file stays with what
    // it holds, for a later download to go on from.
    virtual void KeepPartial() = 0;
};

// A file opened for reading from its start. Others may read it meanwhile but
// not change it. Failures throw InputOutputError.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    virtual std::uint64_t Size() = 0;
    // Reads up to size bytes into the buffer; 0 at the end of the file.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};

// A file or folder held open so that it can be removed, and so that what is
// removed is what was looked at. A link (symbolic link, junction, mount
// point) is held as the link itself, never as what it points to, where the
// platform can do so.
class RemovableEntry {
public:
    virtual ~RemovableEntry() = default;
    // Where the held entry really is: every link on the way resolved, in the
    // form RealPath gives.
    virtual std::wstring RealPath() const = 0;
    // Removes the entry (a folder only when it is empty); true on success.
    virtual bool Remove() = 0;
};

// Shell folder numbers: the user's own desktop and Start-menu programs, and
// the ones every user of the machine sees.
inline constexpr int kFolderDesktop = 0;
inline constexpr int kFolderPrograms = 2;
inline constexpr int kFolderCommonPrograms = 0x17;
inline constexpr int kFolderCommonDesktop = 0x19;

// A named lock of the whole machine, held until this object goes.
class HeldLock {
public:
    virtual ~HeldLock() = default;
};

// How a started program's window is shown: normally.
inline constexpr int kShowNormal = 1;

// Everything outside the program, behind one interface: the Windows file
// system, shell and user calls on Windows, a temporary tree and a virtual
// clock in the tests. Paths are Windows paths with "\" separators.
class PlatformOperations {
public:
    virtual ~PlatformOperations() = default;

    // File system. The answers mean what the Windows calls of the same name
    // answer; the callers decide what to do with a failure.
    virtual bool FileExists(const std::wstring& path) = 0;
    virtual bool DirectoryExists(const std::wstring& path) = 0;
    virtual bool MakeDirectory(const std::wstring& path) = 0;
    virtual bool RemoveEmptyDirectory(const std::wstring& path) = 0;
    virtual bool DeleteFileAt(const std::wstring& path) = 0;
    virtual bool SetAttributes(const std::wstring& path, std::uint32_t attributes) = 0;
    virtual bool CopyFileTo(const std::wstring& source, const std::wstring& target, bool failIfExists) = 0;
    // Moves a file over another one of the same volume, replacing it; true on success.
    virtual bool MoveReplacing(const std::wstring& source, const std::wstring& target) = 0;
    // The attributes of an existing file or folder, nothing when there is none.
    virtual std::optional<std::uint32_t> Attributes(const std::wstring& path) = 0;
    // Starts writing a file that will replace (or create) the target. What
    // lies at the target's partial file (services::PartialFilePath) is
    // replaced, and a link found there is never followed.
    virtual std::unique_ptr<ReplacingFile> CreateReplacingFile(const std::wstring& target) = 0;
    // Goes on writing the target's partial file that an earlier download
    // kept, after what it holds; nothing when there is no such file (or
    // only a link or a folder at its name).
    virtual std::unique_ptr<ReplacingFile> ContinueReplacingFile(const std::wstring& target) = 0;
    // Where an existing path really leads, with every link, junction and
    // mount point resolved (on Windows, as GetFinalPathNameByHandleW names
    // it, without its "\\?\" prefix); nothing when it cannot be opened.
    virtual std::optional<std::wstring> RealPath(const std::wstring& path) = 0;
    // The entry at the path held for removal; nothing when there is none.
    virtual std::unique_ptr<RemovableEntry> OpenForRemoval(const std::wstring& path) = 0;
    // The file opened for reading; nothing when there is none or it cannot
    // be opened (held by a program that writes it, no right to read it).
    virtual std::unique_ptr<ReadableFile> OpenForReading(const std::wstring& path) = 0;
    // A SHA-256 to compute.
    virtual std::unique_ptr<Sha256Digest> StartSha256() = 0;
    // The Authenticode signature of a program file as Windows sees it.
    virtual FileSignature SignatureOf(const std::wstring& path) = 0;
    // Appends text to a file, created when missing, converted to the system's
    // ANSI code page. Throws InputOutputError when anything fails.
    virtual void AppendAnsiText(const std::wstring& path, const std::wstring& text) = 0;
    // Appends text in UTF-8 to a file on a disk, created when missing; a new
    // or empty file first gets the UTF-8 byte-order mark. Throws
    // InputOutputError when anything fails, and for anything that is not a
    // file on a disk (a folder, a device such as NUL or CON).
    virtual void AppendUnicodeText(const std::wstring& path, const std::wstring& text) = 0;
    // The bytes of every file below the folder, its sub-folders included
    // (links not followed); 0 for a folder that does not exist.
    virtual std::uint64_t SizeOfFolder(const std::wstring& folder) = 0;
    // The user's folder for temporary files, without a final "\".
    virtual std::wstring TemporaryFolder() = 0;

    // Registry. Keys are paths below the root ("Software\...").
    // Creates the key when missing and sets the values; false when it could not.
    virtual bool WriteRegistryValues(RegistryRoot root, const std::wstring& key,
                                     const std::vector<RegistryValue>& values) = 0;
    // A text value, when the key and the value exist.
    virtual std::optional<std::wstring> ReadRegistryText(RegistryRoot root, const std::wstring& key,
                                                         const std::wstring& name) = 0;
    // Deletes a key that holds values only; true when it is gone (or never was).
    virtual bool DeleteRegistryKey(RegistryRoot root, const std::wstring& key) = 0;
    // True when this process may create keys and set values below the key.
    virtual bool CanWriteRegistryKey(RegistryRoot root, const std::wstring& key) = 0;

    // Processes. The named lock of the machine, or nothing when another
    // process holds it.
    virtual std::unique_ptr<HeldLock> ClaimMachineLock(const std::wstring& name) = 0;
    // A running program cannot delete its own file, so a removal started
    // from the copy of the installer kept in an installation goes on from a
    // copy of it in a new temporary folder (the second phase). Starts that
    // copy with the arguments and one more, tokenOption followed by a token
    // that lets the copy reach this process. With waitForOutcome, waits until
    // the copy reports its exit code and returns it (nothing when the copy
    // could not be started or ended without reporting); otherwise returns 0
    // once the copy runs.
    virtual std::optional<int> RunFromTemporaryCopy(const std::vector<std::wstring>& arguments,
                                                    const std::wstring& tokenOption, bool waitForOutcome) = 0;
    // In the second phase: tells the first phase the run's exit code.
    virtual void ReportToFirstPhase(const std::wstring& token, int exitCode) = 0;
    // In the second phase: waits until the first phase has ended, so that its
    // file is free; false when it did not end in time.
    virtual bool WaitForFirstPhase(const std::wstring& token) = 0;

    // Shell.
    virtual std::wstring SpecialFolderPath(int folder) = 0;
    // Starts a file or opens an address; returns at once, result not examined.
    virtual void ShellExecuteFile(const std::wstring& operation, const std::wstring& file,
                              const std::wstring& parameters, const std::wstring& directory) = 0;

    // User.
    virtual void ShowMessageBox(const std::wstring& text, const std::wstring& title) = 0;
    // The toolkit's simple message: centred, one OK button, the program's title.
    virtual void ShowMessage(const std::wstring& text) = 0;
    virtual void Sleep(int milliseconds) = 0;
    // A steady clock in milliseconds, for measuring how long a wait lasted.
    virtual std::int64_t SteadyMilliseconds() = 0;
    // Returns when something arrives for this thread's windows (input, a
    // repaint) or after at most `milliseconds`, whichever comes first; the
    // caller then lets its window handle what came.
    virtual void WaitForMessages(int milliseconds) = 0;
    virtual ui::Point CursorPosition() = 0;
    virtual void SetCursorPosition(ui::Point where) = 0;
    virtual LocalTime Now() = 0;
    virtual std::wstring ExecutablePath() = 0;

    // A fresh shell link object; throws when the shell cannot make one.
    virtual std::unique_ptr<ShellLink> CreateShellLink() = 0;

    // The HTTP client of the installer.
    virtual std::unique_ptr<HttpClient> CreateHttpClient() = 0;
};

}  // namespace kanvel::services
