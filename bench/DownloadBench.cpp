// Downloads one URL into a file with WinHttpClient and prints, as KEY=VALUE
// lines, the bytes received, the seconds the download took and the process's
// peak memory, for run-download-bench.sh to compare.
// Usage: kanvel_download_bench URL OUTPUT_FILE
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FileSink.h"
#include "platform/win32/http/WinHttpClient.h"
#include "services/installer/InstallerError.h"

namespace {

struct DownloadResult {
    std::int64_t bytes = 0;
    double seconds = 0;
};

DownloadResult Download(const std::wstring& url, const std::wstring& outputPath) {
    kanvel::platform::win32::WinHttpClient client;
    DownloadResult result;
    client.OnWork = [&result](kanvel::services::HttpClient&, kanvel::services::WorkMode, std::int64_t done) {
        result.bytes = done;
    };
    kanvel::bench::FileSink file(outputPath);
    const auto start = std::chrono::steady_clock::now();
    client.Get(url, file);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

void PrintPeakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        std::printf("peak_working_set_bytes=%llu\n", static_cast<unsigned long long>(counters.PeakWorkingSetSize));
        std::printf("peak_pagefile_bytes=%llu\n", static_cast<unsigned long long>(counters.PeakPagefileUsage));
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: kanvel_download_bench URL OUTPUT_FILE\n", stderr);
        return 2;
    }
    try {
        const DownloadResult result = Download(argv[1], argv[2]);
        std::printf("bytes=%lld\nseconds=%.6f\n", static_cast<long long>(result.bytes), result.seconds);
        PrintPeakMemory();
        return 0;
    } catch (const kanvel::services::InstallerError& error) {
        std::fprintf(stderr, "download failed: %ls\n", error.text().c_str());
        return 1;
    }
}
