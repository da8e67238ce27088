#pragma once

#include <string>

#include "services/system/Clock.h"
#include "services/system/FileSystem.h"
#include "services/system/PlatformRoles.h"

namespace kanvel::notice {

inline constexpr const wchar_t* kMessageLogName = L"Komunikaty.err";

// One entry of the message log: the time stamp, title, both lines and an
// empty line, each ended by CR LF. Numbers carry no leading zeros.
std::wstring FormatLogEntry(const services::LocalTime& when, const std::wstring& title,
                            const std::wstring& line1, const std::wstring& line2);

// Appends an entry to "Komunikaty.err" in the installer's folder, creating
// the file when missing. A failure raises an input/output error.
void AppendMessageLog(services::PlatformRoles<services::FileSystem, services::Clock> platform,
                      const std::wstring& installerDir, const std::wstring& title, const std::wstring& line1,
                      const std::wstring& line2);

}  // namespace kanvel::notice
