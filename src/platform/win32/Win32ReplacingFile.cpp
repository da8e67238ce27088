#include "platform/win32/Win32ReplacingFile.h"

#include <algorithm>
#include <vector>

#include "platform/win32/AuthenticodeSignature.h"
#include "platform/win32/FinalPath.h"
#include "platform/win32/PosixFileCalls.h"
#include "platform/win32/SystemErrorText.h"
#include "platform/win32/Win32RemovableEntry.h"
#include "services/installer/InstallerError.h"
#include "services/download/PartialFilePath.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::platform::win32 {

namespace {
// The system's words for the error, or its number when it has none.
std::wstring Reason(DWORD error) {
    std::wstring text = SystemErrorText(error);
    return text.empty() ? L"System error " + std::to_wstring(error) : text;
}
}  // namespace

Win32ReplacingFile::Win32ReplacingFile(std::wstring target, services::Clock& clock)
    : target_(std::move(target)), clock_(clock) {
    // A read-only target cannot be replaced: say so before anything is fetched.
    const DWORD attributes = GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) fail(ERROR_ACCESS_DENIED);
    // A partial file left by an interrupted run is replaced, whatever its attributes.
    partial_ = services::PartialFilePath(target_);
    removeLeftover();
    // Made new, or not at all: CREATE_NEW never opens what is there, a link
    // included. Reading lets the signature be checked through this handle;
    // DELETE access lets Commit rename the file through it. Others may read
    // it meanwhile, never change, rename or delete it.
    file_.reset(CreateFileW(partial_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file_) {
        const DWORD error = GetLastError();
        partial_.clear();
        fail(error);
    }
}

Win32ReplacingFile::Win32ReplacingFile(std::wstring target, services::Clock& clock, FileHandle kept)
    : target_(std::move(target)), clock_(clock), partial_(services::PartialFilePath(target_)), file_(std::move(kept)) {
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(file_.get(), LARGE_INTEGER{}, &end, FILE_END)) fail(GetLastError());
}

std::unique_ptr<Win32ReplacingFile> Win32ReplacingFile::Continue(std::wstring target, services::Clock& clock) {
    const std::wstring partial = services::PartialFilePath(target);
    FileHandle kept(CreateFileW(partial.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!kept) return nullptr;
    // Only the plain file a download kept: never a link, a folder or a file
    // with other names besides.
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(kept.get(), &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        information.nNumberOfLinks != 1)
        return nullptr;
    return std::unique_ptr<Win32ReplacingFile>(new Win32ReplacingFile(std::move(target), clock, std::move(kept)));
}

Win32ReplacingFile::~Win32ReplacingFile() {
    // An uncommitted partial file goes through its own handle, never by a
    // name that something else could have taken meanwhile.
    if (file_ && !partial_.empty() && !keep_) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition, sizeof disposition);
    }
    file_.reset();
}

// Removes the partial file an interrupted run left, when it is that file
// itself and not what a link planted at its name leads to.
void Win32ReplacingFile::removeLeftover() const {
    if (GetFileAttributesW(partial_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const auto entry = Win32RemovableEntry::Open(partial_);
    auto folder = FinalPathOf(services::FolderOf(partial_));
    if (!entry || !folder) return;
    if (folder->ends_with(L'\\')) folder->pop_back();
    if (!services::EqualIgnoringCase(entry->RealPath(), services::JoinPath(*folder, services::FileNameOf(partial_))))
        return;
    entry->ClearReadOnly();
    entry->Remove();
}

void Win32ReplacingFile::fail(DWORD error) const {
    throw services::InputOutputError(L"Cannot create file \"" + target_ + L"\". " + Reason(error));
}

void Win32ReplacingFile::Write(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file_.get(), data, chunk, &written, nullptr) || written != chunk) fail(GetLastError());
        data += chunk;
        size -= chunk;
    }
}

services::FileSignature Win32ReplacingFile::Signature() {
    // WinVerifyTrust reads through the handle; it starts from the beginning.
    if (!SetFilePointerEx(file_.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) fail(GetLastError());
    return AuthenticodeSignatureOf(partial_, file_.get());
}

std::int64_t Win32ReplacingFile::Size() {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.get(), &size)) fail(GetLastError());
    return size.QuadPart;
}

void Win32ReplacingFile::Restart() {
    if (!SetFilePointerEx(file_.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) || !SetEndOfFile(file_.get()))
        fail(GetLastError());
}

void Win32ReplacingFile::KeepPartial() { keep_ = true; }

void Win32ReplacingFile::Commit() {
    // Renamed through the open handle, then closed: closing it first and
    // moving it by name would open it once more, and under Wine every open
    // and close is a round trip to the wineserver. The partial file lies in
    // the target's folder, so this is a rename, never a copy. A scanner that
    // holds the target for a moment is waited out.
    if (!RetryingBriefLocks(clock_, target_, [&] { return RenameReplacing(file_.get(), target_); }))
        fail(GetLastError());
    partial_.clear();
    if (!file_.close()) fail(GetLastError());
}

}  // namespace kanvel::platform::win32
