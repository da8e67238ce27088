#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "services/system/FolderProtection.h"
#include "services/system/ReadableFile.h"
#include "services/system/RemovableEntry.h"
#include "services/system/ReplacingFile.h"

namespace kanvel::services {

// The file system: the Windows file calls on Windows, a temporary tree in the
// tests. Paths are Windows paths with "\" separators. The answers mean what
// the Windows calls of the same name answer; the callers decide what to do
// with a failure.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual bool FileExists(const std::wstring& path) = 0;
    virtual bool DirectoryExists(const std::wstring& path) = 0;
    virtual bool MakeDirectory(const std::wstring& path) = 0;
    // Makes a folder of an installation with its protection given at
    // creation, so that it is never open to others for a moment; false when
    // it cannot be made (or exists already).
    virtual bool MakeDirectory(const std::wstring& path, const FolderProtection& protection) = 0;
    // Gives an existing folder of an installation its protection, after
    // checking that it may be taken: it is a folder itself (no link or
    // junction, nor behind one), its owner is the running account, the
    // Administrators, SYSTEM or TrustedInstaller, and nothing inside is a
    // link, junction or a file with more than one name. What lies inside then
    // takes its rights from the folder alone. The checks and the change are
    // made on the folder that was opened, not on its name again.
    virtual FolderAdoption ProtectExistingFolder(const std::wstring& path, const FolderProtection& protection) = 0;
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
    // The same, but a link at the path's own name is not followed: the link
    // itself is opened (ReadableFile::IsLink tells).
    virtual std::unique_ptr<ReadableFile> OpenEntryForReading(const std::wstring& path) = 0;
    // Appends text to a file, created when missing, converted to the system's
    // ANSI code page. Throws InputOutputError when anything fails.
    virtual void AppendAnsiText(const std::wstring& path, const std::wstring& text) = 0;
    // Appends text in UTF-8 to a file on a disk, created when missing; a new
    // or empty file first gets the UTF-8 byte-order mark. Throws
    // InputOutputError when anything fails, and for anything that is not a
    // file on a disk (a folder, a device such as NUL or CON) or is a link:
    // a symbolic link, a junction or any other reparse point, or a file that
    // has another name as well (a hard link). Nothing is written through a
    // link, so a file someone else placed at the name cannot redirect the
    // text into a file of their choosing.
    virtual void AppendUnicodeText(const std::wstring& path, const std::wstring& text) = 0;
    // The bytes of every file below the folder, its sub-folders included
    // (links not followed); 0 for a folder that does not exist.
    virtual std::uint64_t SizeOfFolder(const std::wstring& folder) = 0;
    // The account's own folder for temporary files, without a final "\";
    // for the system account one that no other account may enter (on
    // Windows, GetTempPath2W's C:\Windows\SystemTemp).
    virtual std::wstring TemporaryFolder() = 0;
};

}  // namespace kanvel::services
