// Plays a virus scanner that opens a just-written file for a moment: waits
// until TRIGGER exists, then holds HELD open without sharing it (no other
// program may read, write, rename or delete it) for MILLISECONDS, and closes
// it. Just before letting go it says, for each further path, whether it
// exists then, so that a journey can tell where the installer was while the
// file was held.
// Usage: kanvel_hold_file TRIGGER HELD MILLISECONDS [PATH...]
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Polls every millisecond: the trigger may be there only for a moment.
bool WaitUntilExists(const wchar_t* path, DWORD timeoutMilliseconds) {
    const ULONGLONG end = GetTickCount64() + timeoutMilliseconds;
    while (!Exists(path)) {
        if (GetTickCount64() > end) return false;
        Sleep(1);
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fputs("usage: kanvel_hold_file TRIGGER HELD MILLISECONDS [PATH...]\n", stderr);
        return 2;
    }
    if (!WaitUntilExists(argv[1], 180000)) {
        std::printf("the trigger never appeared\n");
        return 1;
    }
    HANDLE held = CreateFileW(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::printf("cannot hold the file: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::stoul(argv[3])));
    for (int i = 4; i < argc; ++i) std::printf("at release %s: %ls\n", Exists(argv[i]) ? "present" : "absent", argv[i]);
    CloseHandle(held);
    std::printf("released\n");
    return 0;
}
