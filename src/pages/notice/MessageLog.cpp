#include "pages/notice/MessageLog.h"

#include "services/paths/WindowsPath.h"

namespace kanvel::notice {

namespace {
constexpr const wchar_t* kLineEnd = L"\r\n";
}

std::wstring FormatLogEntry(const services::LocalTime& when, const std::wstring& title,
                            const std::wstring& line1, const std::wstring& line2) {
    using std::to_wstring;
    std::wstring entry = to_wstring(when.year) + L'-' + to_wstring(when.month) + L'-' + to_wstring(when.day) +
                         L"   " + to_wstring(when.hour) + L':' + to_wstring(when.minute) + L" : " +
                         to_wstring(when.second) + L':' + to_wstring(when.millisecond) + kLineEnd;
    for (const std::wstring* line : {&title, &line1, &line2}) entry += *line + kLineEnd;
    entry += kLineEnd;
    return entry;
}

void AppendMessageLog(services::PlatformRoles<services::FileSystem, services::Clock> platform,
                      const std::wstring& installerDir, const std::wstring& title, const std::wstring& line1,
                      const std::wstring& line2) {
    const services::LocalTime now = platform.get<services::Clock>().Now();
    platform.get<services::FileSystem>().AppendAnsiText(services::JoinPath(installerDir, kMessageLogName),
                                                        FormatLogEntry(now, title, line1, line2));
}

}  // namespace kanvel::notice
