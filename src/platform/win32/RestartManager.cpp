#include "platform/win32/RestartManager.h"

#include <windows.h>
#include <restartmanager.h>

#include "platform/win32/PosixFileCalls.h"
#include "platform/win32/RunTimeCall.h"

namespace kanvel::platform::win32 {

namespace {
constexpr const wchar_t* kRestartManagerDll = L"rstrtmgr.dll";

// The Restart Manager calls this installer makes, taken from System32 at
// their first use.
struct RestartManagerCalls {
    decltype(&RmStartSession) startSession = nullptr;
    decltype(&RmRegisterResources) registerResources = nullptr;
    decltype(&RmGetList) getList = nullptr;
    decltype(&RmShutdown) shutdown = nullptr;
    decltype(&RmEndSession) endSession = nullptr;

    bool loaded() const { return startSession && registerResources && getList && shutdown && endSession; }
};

const RestartManagerCalls& Calls() {
    static const RestartManagerCalls calls = [] {
        RestartManagerCalls found;
        HMODULE module = LoadLibraryExW(kRestartManagerDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr) return found;
        LookUp(module, "RmStartSession", found.startSession);
        LookUp(module, "RmRegisterResources", found.registerResources);
        LookUp(module, "RmGetList", found.getList);
        LookUp(module, "RmShutdown", found.shutdown);
        LookUp(module, "RmEndSession", found.endSession);
        return found;
    }();
    return calls;
}

// A Restart Manager session with the files registered, ended when this goes.
class Session {
public:
    explicit Session(const std::vector<std::wstring>& files) : calls_(Calls()) {
        if (!calls_.loaded()) return;
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        if (calls_.startSession(&handle_, 0, key) != ERROR_SUCCESS) return;
        started_ = true;
        std::vector<LPCWSTR> names;
        for (const auto& file : files) names.push_back(file.c_str());
        registered_ = calls_.registerResources(handle_, static_cast<UINT>(names.size()), names.data(), 0, nullptr, 0,
                                               nullptr) == ERROR_SUCCESS;
    }
    ~Session() {
        if (started_) calls_.endSession(handle_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ready() const { return registered_; }

    // The names of the programs holding the registered files.
    std::vector<std::wstring> programs() {
        std::vector<RM_PROCESS_INFO> processes;
        UINT needed = 0;
        UINT count = 0;
        DWORD reasons = 0;
        DWORD result = calls_.getList(handle_, &needed, &count, nullptr, &reasons);
        // The list can grow between the two calls: asked again until it fits.
        while (result == ERROR_MORE_DATA) {
            processes.resize(needed);
            count = needed;
            result = calls_.getList(handle_, &needed, &count, processes.data(), &reasons);
        }
        std::vector<std::wstring> names;
        if (result != ERROR_SUCCESS) return names;
        for (UINT i = 0; i < count && i < processes.size(); ++i) names.emplace_back(processes[i].strAppName);
        return names;
    }

    bool shutDown() { return calls_.shutdown(handle_, 0, nullptr) == ERROR_SUCCESS; }

private:
    const RestartManagerCalls& calls_;
    DWORD handle_ = 0;
    bool started_ = false;
    bool registered_ = false;
};

// Opened for writing and deletion with no sharing: what replacing or
// deleting the file needs. A sharing or lock violation says another
// program holds it.
bool HeldOpenByAnother(services::Clock& clock, const std::wstring& file) {
    const bool opened = RetryingBriefLocks(clock, file, [&] {
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        CloseHandle(handle);
        return true;
    });
    if (opened) return false;
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}
}  // namespace

std::vector<services::FileInUse> FilesInUse(services::Clock& clock, const std::vector<std::wstring>& files) {
    std::vector<services::FileInUse> inUse;
    for (const std::wstring& file : files) {
        if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        // One session a file, so that each file gets the programs that hold it.
        Session session({file});
        std::vector<std::wstring> programs;
        if (session.ready()) programs = session.programs();
        if (!programs.empty() || HeldOpenByAnother(clock, file)) inUse.push_back({file, programs});
    }
    return inUse;
}

bool AskProgramsToClose(const std::vector<std::wstring>& files) {
    Session session(files);
    return session.ready() && session.shutDown();
}

}  // namespace kanvel::platform::win32
