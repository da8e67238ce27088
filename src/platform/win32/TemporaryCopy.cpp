#include "platform/win32/TemporaryCopy.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "platform/win32/AccountTemporaryFolder.h"
#include "platform/win32/MarkOfTheWeb.h"
#include "platform/win32/PrivateFolder.h"
#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

namespace {
constexpr const wchar_t* kCopyFolderPrefix = L"Kanvel-";
constexpr const wchar_t* kCopyName = L"\\Instalator.exe";
constexpr wchar_t kTokenSeparator = L',';
// The first phase ends as soon as it has the outcome; waiting longer means it hangs.
constexpr DWORD kFirstPhaseEndLimit = 30000;
// 128 random bits name the copy's folder.
constexpr std::size_t kRandomNameBytes = 16;
constexpr int kFolderAttempts = 8;

std::wstring Hexadecimal(HANDLE handle) {
    wchar_t digits[24] = {};
    std::swprintf(digits, 24, L"%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
    return digits;
}

// The handle at a place of the token, or nullptr when the token has none there.
HANDLE HandleInToken(const std::wstring& token, std::size_t place) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < place; ++i) {
        start = token.find(kTokenSeparator, start);
        if (start == std::wstring::npos) return nullptr;
        ++start;
    }
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(token.c_str() + start, &end, 16);
    if (end == token.c_str() + start || (*end != L'\0' && *end != kTokenSeparator)) return nullptr;
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

// A name nobody can guess before the folder exists: random bytes from the
// system's generator, in hexadecimal. Empty when the generator fails.
std::wstring RandomName() {
    unsigned char bytes[kRandomNameBytes] = {};
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, sizeof(bytes), BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        return std::wstring();
    std::wstring name;
    for (const unsigned char byte : bytes) {
        wchar_t digits[3] = {};
        std::swprintf(digits, 3, L"%02x", byte);
        name += digits;
    }
    return name;
}

// A new folder of this run in the account's temporary folder, under a random
// name, open to the account, SYSTEM and the Administrators alone; empty when
// none could be made.
std::wstring NewCopyFolder() {
    const std::wstring temporary = AccountTemporaryFolder();
    if (temporary.empty()) return std::wstring();
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        const std::wstring name = RandomName();
        if (name.empty()) break;
        const std::wstring folder = temporary + kCopyFolderPrefix + name;
        if (CreatePrivateFolder(folder)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::wstring();
}

// The copy opened for reading only, denying others writing and deletion, so
// that the file the new process starts from is the one copied; the loader
// may still open it to run it.
FileHandle HeldAgainstChange(const std::wstring& file) {
    return FileHandle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}
}  // namespace

std::wstring QuotedArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double before a quote, which itself gets one.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::optional<int> RunFromTemporaryCopy(const std::wstring& executable, const std::vector<std::wstring>& arguments,
                                        const std::wstring& tokenOption, bool waitForOutcome) {
    const std::wstring folder = NewCopyFolder();
    if (folder.empty()) return std::nullopt;
    const std::wstring copy = folder + kCopyName;
    if (!CopyFileW(executable.c_str(), copy.c_str(), TRUE)) return std::nullopt;
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveMarkOfTheWeb(copy);
    FileHandle held = HeldAgainstChange(copy);
    if (!held) return std::nullopt;
    // Windows deletes the copy and its folder at the next start where this
    // run may ask for it (an administrator's); otherwise the system's
    // cleaning of temporary files does.
    MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);

    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        return std::nullopt;
    const KernelHandle selfForCopy(self);
    std::wstring token = Hexadecimal(self);
    KernelHandle readEnd;
    KernelHandle writeEnd;
    if (waitForOutcome) {
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!CreatePipe(&read, &write, &inherited, 0)) return std::nullopt;
        readEnd.reset(read);
        writeEnd.reset(write);
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        token += kTokenSeparator + Hexadecimal(write);
    }
    std::wstring commandLine = QuotedArgument(copy);
    for (const auto& argument : arguments) commandLine += L" " + QuotedArgument(argument);
    commandLine += L" " + QuotedArgument(tokenOption + token);

    // Only the handles the token names pass to the copy, and no standard
    // handles: a deployment tool that reads this run's output must not wait
    // for the copy's end as well.
    std::vector<HANDLE> inherited{self};
    if (waitForOutcome) inherited.push_back(writeEnd.get());
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<std::byte> listBuffer(listSize);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBuffer.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &listSize)) return std::nullopt;
    const bool listed = UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited.data(),
                                                  inherited.size() * sizeof(HANDLE), nullptr, nullptr);
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.lpAttributeList = list;
    PROCESS_INFORMATION started{};
    // The copy works in its own folder, so that no folder it removes is its current one.
    const bool created = listed && CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                                  EXTENDED_STARTUPINFO_PRESENT, nullptr, folder.c_str(),
                                                  &startup.StartupInfo, &started);
    DeleteProcThreadAttributeList(list);
    // The process exists and its image is mapped: the file cannot change under it now.
    held.reset();
    if (!created) return std::nullopt;
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    // Only the copy writes now: when it ends without reporting, the read sees the end of the pipe.
    writeEnd.reset();
    if (!waitForOutcome) return 0;
    std::int32_t exitCode = 0;
    DWORD read = 0;
    if (!ReadFile(readEnd.get(), &exitCode, sizeof(exitCode), &read, nullptr) || read != sizeof(exitCode))
        return std::nullopt;
    return exitCode;
}

void ReportToFirstPhase(const std::wstring& token, int exitCode) {
    const KernelHandle pipe(HandleInToken(token, 1));
    if (!pipe) return;
    const std::int32_t code = exitCode;
    DWORD written = 0;
    WriteFile(pipe.get(), &code, sizeof(code), &written, nullptr);
}

bool WaitForFirstPhase(const std::wstring& token) {
    const KernelHandle firstPhase(HandleInToken(token, 0));
    return firstPhase && WaitForSingleObject(firstPhase.get(), kFirstPhaseEndLimit) == WAIT_OBJECT_0;
}

}  // namespace kanvel::platform::win32
