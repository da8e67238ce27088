#include "platform/win32/SystemDllPreload.h"

#include <windows.h>

namespace kanvel::platform::win32 {

namespace {

// WinHTTP loads crypt32 (certificates), secur32 (TLS), iphlpapi and dhcpcsvc
// (proxy discovery) when it first needs them; Winsock loads dnsapi the same way.
constexpr const wchar_t* kLateLoadedSystemDlls[] = {L"crypt32.dll", L"secur32.dll", L"iphlpapi.dll",
                                                    L"dhcpcsvc.dll", L"dnsapi.dll"};

}  // namespace

void PreloadLateSystemDlls() {
    // Kept loaded for the life of the process; a DLL missing from this
    // system is simply not preloaded (its own user then fails as it would).
    for (const wchar_t* name : kLateLoadedSystemDlls) LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace kanvel::platform::win32
