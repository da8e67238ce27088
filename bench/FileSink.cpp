#include "FileSink.h"

#include <windows.h>

#include "services/installer/InstallerError.h"

namespace kanvel::bench {

FileSink::FileSink(const std::wstring& path)
    : file_(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
    if (file_ == INVALID_HANDLE_VALUE) {
        throw services::InputOutputError(L"Cannot create " + path);
    }
}

FileSink::~FileSink() {
    CloseHandle(file_);
}

void FileSink::Write(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(size > MAXDWORD ? MAXDWORD : size);
        if (!WriteFile(file_, data, chunk, &written, nullptr) || written == 0) {
            throw services::InputOutputError(L"Cannot write the downloaded file");
        }
        data += written;
        size -= written;
    }
}

}  // namespace kanvel::bench
