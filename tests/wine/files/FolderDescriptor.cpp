// Prints the security descriptor of each file or folder named on the command
// line, one line each: the path, a tab and the descriptor's owner and access
// list in Windows' SDDL text, as an administrator's tools read it back.
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        constexpr SECURITY_INFORMATION kParts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
        DWORD size = 0;
        GetFileSecurityW(argv[i], kParts, nullptr, 0, &size);
        std::vector<unsigned char> descriptor(size ? size : 1);
        wchar_t* text = nullptr;
        if (size == 0 || !GetFileSecurityW(argv[i], kParts, descriptor.data(), size, &size) ||
            !ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.data(), SDDL_REVISION_1, kParts, &text,
                                                                  nullptr)) {
            std::fwprintf(stdout, L"%ls\tunreadable (error %lu)\n", argv[i], GetLastError());
            ++failures;
            continue;
        }
        std::fwprintf(stdout, L"%ls\t%ls\n", argv[i], text);
        LocalFree(text);
    }
    return failures == 0 ? 0 : 1;
}
