#include "platform/host/HostPlatform.h"

#include <algorithm>
#include <fstream>

#include "platform/host/Encoding.h"
#include "platform/host/HostHeldProgram.h"
#include "platform/host/HostReadableFile.h"
#include "platform/host/HostRemovableEntry.h"
#include "platform/host/OpenSslDetachedSignature.h"
#include "platform/host/OpenSslSha256.h"
#include "platform/host/HostReplacingFile.h"
#include "platform/host/RecordingShellLink.h"
#include "services/installer/InstallerError.h"
#include "services/paths/PathLimits.h"
#include "services/download/PartialFilePath.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::platform::host {

namespace fs = std::filesystem;

namespace {
// The names Windows gives to devices in every folder ("NUL", "con.txt"...):
// opening one opens the device, not a file.
bool NamesDevice(std::wstring name) {
    name = services::UpperCaseAscii(name.substr(0, name.find(L'.')));
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (name == device) return true;
    return name.size() == 4 && (name.starts_with(L"COM") || name.starts_with(L"LPT")) && name[3] >= L'1' &&
           name[3] <= L'9';
}

class HostLock : public services::HeldLock {
public:
    HostLock(std::shared_ptr<std::set<std::wstring>> held, std::wstring name)
        : held_(std::move(held)), name_(std::move(name)) {
        held_->insert(name_);
    }
    ~HostLock() override { held_->erase(name_); }

private:
    std::shared_ptr<std::set<std::wstring>> held_;
    std::wstring name_;
};
}  // namespace

HostPlatform::HostPlatform(fs::path root, EventLog& log) : files_(std::move(root)), log_(log) {
    for (const std::wstring* folder : {&desktopPath, &programsPath, &commonDesktopPath, &commonProgramsPath, &temporaryPath})
        files_.MakeFolders(*folder);
}

bool HostPlatform::FileExists(const std::wstring& path) {
    std::error_code ec;
    return fs::is_regular_file(files_.ToHost(path), ec);
}

bool HostPlatform::DirectoryExists(const std::wstring& path) {
    std::error_code ec;
    return fs::is_directory(files_.ToHost(path), ec);
}

bool HostPlatform::MakeDirectory(const std::wstring& path) {
    std::error_code ec;
    if (!fs::create_directory(files_.ToHost(path), ec)) return false;
    security_.MadeWithoutDescriptor(path);
    return true;
}

bool HostPlatform::MakeDirectory(const std::wstring& path, const services::FolderProtection& protection) {
    std::error_code ec;
    if (!fs::create_directory(files_.ToHost(path), ec)) return false;
    security_.Give(path, security_.DescriptorOf(protection));
    return true;
}

// Links and junctions are symbolic links here; a file with more than one
// name is a hard link.
services::FolderAdoption HostPlatform::ProtectExistingFolder(const std::wstring& path,
                                                             const services::FolderProtection& protection) {
    using services::FolderAdoption;
    const fs::path host = files_.ToHost(path).lexically_normal();
    std::error_code ec;
    const auto status = fs::symlink_status(host, ec);
    if (fs::is_symlink(status)) return FolderAdoption::Link;
    if (!fs::is_directory(status)) return FolderAdoption::Failed;
    if (fs::canonical(host, ec) != fs::weakly_canonical(files_.root(), ec) / host.lexically_relative(files_.root()))
        return FolderAdoption::Link;
    const std::wstring owner = security_.EffectiveDescriptor(path).owner;
    bool trusted = owner == security_.runningAccount;
    for (const wchar_t* administrative : {sids::kAdministrators, sids::kSystem, sids::kTrustedInstaller})
        trusted = trusted || owner == administrative;
    if (!trusted) return FolderAdoption::ForeignOwner;
    const SecurityDescriptor descriptor = security_.DescriptorOf(protection);
    security_.Give(path, descriptor);
    return resetInside(host, path, descriptor.owner);
}

services::FolderAdoption HostPlatform::resetInside(const fs::path& folder, const std::wstring& windowsFolder,
                                                   const std::wstring& owner) {
    using services::FolderAdoption;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const auto status = entry.symlink_status(ec);
        if (fs::is_symlink(status)) return FolderAdoption::LinkInside;
        if (!fs::is_directory(status) && fs::hard_link_count(entry.path(), ec) > 1) return FolderAdoption::LinkInside;
        const std::wstring inside = windowsFolder + L"\\" + FromUtf8(entry.path().filename().string());
        security_.Give(inside, {owner, {}, false});
        if (fs::is_directory(status)) {
            const FolderAdoption below = resetInside(entry.path(), inside, owner);
            if (below != FolderAdoption::Protected) return below;
        }
    }
    return ec ? FolderAdoption::Failed : FolderAdoption::Protected;
}

bool HostPlatform::RemoveEmptyDirectory(const std::wstring& path) {
    const fs::path host = files_.ToHost(path);
    std::error_code ec;
    if (!fs::is_directory(host, ec) || !fs::is_empty(host, ec)) return false;
    return fs::remove(host, ec);
}

namespace {
// Windows refuses to delete or overwrite a read-only file (the tests may run
// as root, for whom the POSIX permissions would not stop it).
bool ReadOnly(const fs::path& host) {
    std::error_code ec;
    return fs::exists(host, ec) && (fs::status(host, ec).permissions() & fs::perms::owner_write) == fs::perms::none;
}
}  // namespace

// Held by another program, or by this one without write or delete sharing.
bool HostPlatform::locked(const fs::path& host) const {
    for (const auto& file : lockedFiles)
        if (files_.ToHost(file) == host) return true;
    for (const auto& holder : holdingPrograms)
        if (files_.ToHost(holder.file) == host) return true;
    for (const auto& file : heldAfterTheCheck)
        if (files_.ToHost(file) == host) return true;
    return heldFiles_->contains(host) || briefHeld(host);
}

bool HostPlatform::briefHeld(const fs::path& host) const {
    for (const auto& hold : briefHolds)
        if (steadyMilliseconds_ < hold.until && files_.ToHost(hold.path) == host) return true;
    return false;
}

bool HostPlatform::retryingBriefLocks(const std::function<services::FileFailure()>& attempt) {
    RetryClock clock(*this);
    return services::BriefLockRetry(clock).Run(attempt) == services::FileFailure::None;
}

void HostPlatform::RetryClock::Sleep(int milliseconds) {
    platform_.log_.add(L"retry pause " + std::to_wstring(milliseconds));
    platform_.steadyMilliseconds_ += milliseconds;
}

bool HostPlatform::DeleteFileAt(const std::wstring& path) {
    const fs::path host = files_.ToHost(path);
    return retryingBriefLocks([&] {
        std::error_code ec;
        if (!fs::is_regular_file(host, ec)) return services::FileFailure::Other;
        if (locked(host)) return services::FileFailure::SharingViolation;
        if (ReadOnly(host)) return services::FileFailure::ReadOnly;
        return fs::remove(host, ec) ? services::FileFailure::None : services::FileFailure::Other;
    });
}

bool HostPlatform::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    const fs::path host = files_.ToHost(path);
    std::error_code ec;
    if (!fs::exists(host, ec)) return false;
    // Only the read-only attribute has a POSIX counterpart: the write bits.
    constexpr std::uint32_t kReadOnly = 1;
    const auto writable = fs::perms::owner_write;
    fs::permissions(host, writable, (attributes & kReadOnly) ? fs::perm_options::remove : fs::perm_options::add, ec);
    return !ec;
}

bool HostPlatform::CopyFileTo(const std::wstring& source, const std::wstring& target, bool failIfExists) {
    std::error_code ec;
    const auto options = failIfExists ? fs::copy_options::none : fs::copy_options::overwrite_existing;
    if (source.size() > services::kMaxCopyPathLength || target.size() > services::kMaxCopyPathLength) return false;
    const fs::path from = files_.ToHost(source);
    const fs::path to = files_.ToHost(target);
    return retryingBriefLocks([&] {
        if (!fs::is_regular_file(from, ec)) return services::FileFailure::Other;
        // A program held for its start shares reading, so it may be copied.
        if (briefHeld(from) || locked(to)) return services::FileFailure::SharingViolation;
        if (ReadOnly(to)) return services::FileFailure::ReadOnly;
        return fs::copy_file(from, to, options, ec) && !ec ? services::FileFailure::None : services::FileFailure::Other;
    });
}

bool HostPlatform::MoveReplacing(const std::wstring& source, const std::wstring& target) {
    const fs::path from = files_.ToHost(source);
    const fs::path to = files_.ToHost(target);
    // A read-only or held target cannot be replaced, as on Windows.
    return retryingBriefLocks([&] {
        if (locked(to) || locked(from)) return services::FileFailure::SharingViolation;
        if (ReadOnly(to)) return services::FileFailure::ReadOnly;
        std::error_code ec;
        fs::rename(from, to, ec);
        return ec ? services::FileFailure::Other : services::FileFailure::None;
    });
}

std::optional<std::uint32_t> HostPlatform::Attributes(const std::wstring& path) {
    const fs::path host = files_.ToHost(path);
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(host, ec);
    if (!fs::exists(status)) return std::nullopt;
    constexpr std::uint32_t kReadOnly = 0x1, kDirectory = 0x10, kArchive = 0x20;
    if (fs::is_directory(status)) return kDirectory;
    const bool readOnly = (fs::status(host, ec).permissions() & fs::perms::owner_write) == fs::perms::none;
    return kArchive | (readOnly ? kReadOnly : 0);
}

std::unique_ptr<services::ReplacingFile> HostPlatform::CreateReplacingFile(const std::wstring& target) {
    auto file = std::make_unique<HostReplacingFile>(files_.ToHost(target),
                                                    files_.ToHost(services::PartialFilePath(target)), target, signatures);
    file->TakeRoomFrom(bytesUntilFull);
    return file;
}

std::unique_ptr<services::ReplacingFile> HostPlatform::ContinueReplacingFile(const std::wstring& target) {
    auto file = HostReplacingFile::Continue(files_.ToHost(target), files_.ToHost(services::PartialFilePath(target)),
                                            target, signatures);
    if (file) file->TakeRoomFrom(bytesUntilFull);
    return file;
}

std::optional<std::wstring> HostPlatform::RealPath(const std::wstring& path) {
    std::error_code ec;
    const fs::path real = fs::canonical(files_.ToHost(path), ec);
    if (ec) return std::nullopt;
    return files_.ToWindows(real);
}

std::unique_ptr<services::RemovableEntry> HostPlatform::OpenForRemoval(const std::wstring& path) {
    const fs::path host = files_.ToHost(path);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(host, ec))) return nullptr;
    return std::make_unique<HostRemovableEntry>(files_, host, locked(host));
}

std::unique_ptr<services::ReadableFile> HostPlatform::OpenForReading(const std::wstring& path) {
    return HostReadableFile::Open(files_, path);
}

std::unique_ptr<services::ReadableFile> HostPlatform::OpenEntryForReading(const std::wstring& path) {
    return HostReadableFile::Open(files_, path, HostReadableFile::Links::OpenedThemselves);
}

std::unique_ptr<services::Sha256Digest> HostPlatform::StartSha256() { return std::make_unique<OpenSslSha256>(); }

services::FileSignature HostPlatform::VerifyDetachedSignature(std::string_view content, std::string_view signature) {
    return OpenSslDetachedSignature(trustedRoots).Verify(content, signature);
}

void HostPlatform::AppendAnsiText(const std::wstring& path, const std::wstring& text) {
    if (insideReadOnlyFolder(path)) throw services::InputOutputError(L"I/O error 5");
    std::ofstream out(files_.ToHost(path), std::ios::binary | std::ios::app);
    if (!out) throw services::InputOutputError(L"I/O error 3");
    out << ToAnsi(text);
    out.close();
    if (!out) throw services::InputOutputError(L"I/O error 5");
}

void HostPlatform::AppendUnicodeText(const std::wstring& path, const std::wstring& text) {
    const fs::path host = files_.ToHost(path);
    std::error_code ec;
    // What Windows answers: a device is not a file on a disk, a folder cannot
    // be opened as a file, a missing folder or a read-only one cannot take one.
    if (NamesDevice(std::wstring(services::FileNameOf(path)))) throw services::InputOutputError(L"I/O error 1");
    if (fs::is_directory(host, ec) || insideReadOnlyFolder(path)) throw services::InputOutputError(L"I/O error 5");
    // As Windows opens a name with FILE_FLAG_OPEN_REPARSE_POINT: a symbolic
    // link is the link itself, and a file with more names is one a link made.
    const auto entry = fs::symlink_status(host, ec);
    if (fs::is_symlink(entry) || (fs::is_regular_file(entry) && fs::hard_link_count(host, ec) > 1))
        throw services::InputOutputError(L"I/O error 1920");
    const bool fresh = !fs::exists(host, ec) || fs::file_size(host, ec) == 0;
    std::ofstream out(host, std::ios::binary | std::ios::app);
    if (!out) throw services::InputOutputError(L"I/O error 3");
    if (fresh) out << "\xEF\xBB\xBF";
    out << ToUtf8(text);
    out.close();
    if (!out) throw services::InputOutputError(L"I/O error 5");
}

bool HostPlatform::insideReadOnlyFolder(const std::wstring& path) const {
    const fs::path folder = files_.ToHost(services::FolderOf(path));
    for (const auto& readOnly : readOnlyFolders)
        if (files_.ToHost(readOnly) == folder) return true;
    return false;
}

std::uint64_t HostPlatform::SizeOfFolder(const std::wstring& folder) {
    std::error_code ec;
    std::uint64_t size = 0;
    for (const auto& entry : fs::recursive_directory_iterator(files_.ToHost(folder), ec))
        if (entry.is_regular_file(ec) && !entry.is_symlink(ec)) size += entry.file_size(ec);
    return size;
}

std::optional<std::uint64_t> HostPlatform::FreeBytes(const std::wstring&) { return freeBytes; }

bool HostPlatform::WriteRegistryValues(services::RegistryRoot root, const std::wstring& key,
                                       const std::vector<services::RegistryValue>& values) {
    return registry_.write(root, key, values);
}

std::optional<std::wstring> HostPlatform::ReadRegistryText(services::RegistryRoot root, const std::wstring& key,
                                                           const std::wstring& name) {
    return registry_.text(root, key, name);
}

std::optional<std::uint32_t> HostPlatform::ReadRegistryNumber(services::RegistryRoot root, const std::wstring& key,
                                                              const std::wstring& name) {
    return registry_.number(root, key, name);
}

bool HostPlatform::DeleteRegistryKey(services::RegistryRoot root, const std::wstring& key) {
    return registry_.remove(root, key);
}

bool HostPlatform::CanWriteRegistryKey(services::RegistryRoot root, const std::wstring&) {
    return registry_.canWrite(root);
}

std::unique_ptr<services::HeldLock> HostPlatform::ClaimMachineLock(const std::wstring& name) {
    if (heldLocks_->count(name) != 0) return nullptr;
    return std::make_unique<HostLock>(heldLocks_, name);
}

std::optional<int> HostPlatform::RunFromTemporaryCopy(const std::vector<std::wstring>& arguments,
                                                      const std::wstring& tokenOption, bool waitForOutcome) {
    std::vector<std::wstring> copyArguments = arguments;
    copyArguments.push_back(tokenOption + kFirstPhaseToken);
    copyRuns.push_back({copyArguments, waitForOutcome});
    log_.add(L"copy started");
    return waitForOutcome ? copyOutcome : std::optional<int>(0);
}

std::optional<int> HostPlatform::RunAsDesktopUser(const std::vector<std::wstring>& arguments) {
    desktopUserRuns.push_back(arguments);
    log_.add(L"started as the desktop's user");
    return desktopUserOutcome;
}

void HostPlatform::ReportToFirstPhase(const std::wstring&, int exitCode) {
    reportedToFirstPhase.push_back(exitCode);
    log_.add(L"reported to first phase " + std::to_wstring(exitCode));
}

bool HostPlatform::WaitForFirstPhase(const std::wstring&) {
    // The first phase has ended: Windows lets its file go.
    std::erase(lockedFiles, firstPhaseExecutable);
    log_.add(L"first phase ended");
    return true;
}

std::vector<services::FileInUse> HostPlatform::FilesInUse(const std::vector<std::wstring>& files) {
    std::vector<services::FileInUse> inUse;
    for (const std::wstring& file : files) {
        const fs::path host = files_.ToHost(file);
        std::error_code ec;
        if (!fs::exists(host, ec)) continue;
        services::FileInUse found{file, {}};
        for (const auto& holder : holdingPrograms)
            if (files_.ToHost(holder.file) == host && !holder.name.empty()) found.programs.push_back(holder.name);
        // A file held by a program the system cannot name is found by a trial open.
        const bool held = std::ranges::any_of(lockedFiles, [&](const auto& f) { return files_.ToHost(f) == host; }) ||
                          std::ranges::any_of(holdingPrograms, [&](const auto& h) { return files_.ToHost(h.file) == host; });
        if (held) inUse.push_back(found);
    }
    log_.add(L"files in use " + std::to_wstring(inUse.size()) + L" of " + std::to_wstring(files.size()));
    return inUse;
}

// Restart Manager asks each program to close and never ends one that
// refuses; the call then fails, and the refusing program keeps its files.
bool HostPlatform::AskProgramsToClose(const std::vector<std::wstring>& files) {
    bool allClosed = true;
    std::erase_if(holdingPrograms, [&](const HoldingProgram& holder) {
        const fs::path held = files_.ToHost(holder.file);
        const bool asked = std::ranges::any_of(files, [&](const auto& f) { return files_.ToHost(f) == held; });
        if (!asked) return false;
        log_.add(L"asked to close " + holder.name + (holder.closesWhenAsked ? L": closed" : L": refused"));
        allClosed = allClosed && holder.closesWhenAsked;
        return holder.closesWhenAsked;
    });
    return allClosed;
}

std::wstring HostPlatform::SpecialFolderPath(int folder) {
    switch (folder) {
        case services::kFolderDesktop: return desktopPath;
        case services::kFolderCommonDesktop: return commonDesktopPath;
        case services::kFolderCommonPrograms: return commonProgramsPath;
        default: return programsPath;
    }
}

std::unique_ptr<services::HeldProgram> HostPlatform::HoldProgram(const std::wstring& file) {
    const fs::path host = files_.ToHost(file);
    std::error_code ec;
    if (!fs::is_regular_file(host, ec)) return nullptr;
    return std::make_unique<HostHeldProgram>(heldFiles_, host, file, files_.ReadFile(file),
                                             HostHeldProgram::Settings{signatures, whenStarting, startsSucceed, elevationDeclined}, log_);
}

void HostPlatform::ShellExecuteFile(const std::wstring& operation, const std::wstring& file,
                                const std::wstring& parameters, const std::wstring& directory) {
    log_.add(L"shell " + operation + L"|" + file + L"|" + parameters + L"|" + directory);
}

void HostPlatform::ShowMessageBox(const std::wstring& text, const std::wstring& title) {
    log_.add(L"box " + title + L"|" + text);
}

void HostPlatform::ShowMessage(const std::wstring& text) { log_.add(L"message " + text); }

void HostPlatform::Sleep(int milliseconds) {
    log_.add(L"sleep " + std::to_wstring(milliseconds));
}

ui::Point HostPlatform::CursorPosition() { return cursor; }

void HostPlatform::SetCursorPosition(ui::Point where) {
    cursor = where;
    log_.add(L"cursor " + std::to_wstring(where.x) + L"," + std::to_wstring(where.y));
}

void HostPlatform::WaitForMessages(int milliseconds) {
    log_.add(L"wait " + std::to_wstring(milliseconds));
    steadyMilliseconds_ += milliseconds;
}

services::LocalTime HostPlatform::Now() { return startTime; }

std::wstring HostPlatform::ExecutablePath() { return executablePath; }

std::unique_ptr<services::ShellLink> HostPlatform::CreateShellLink() {
    return std::make_unique<RecordingShellLink>(files_);
}

std::unique_ptr<services::HttpClient> HostPlatform::CreateHttpClient() {
    return httpClientFactory ? httpClientFactory() : nullptr;
}

}  // namespace kanvel::platform::host
