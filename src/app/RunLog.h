#pragma once

#include <string>

#include "services/PlatformOperations.h"

namespace kanvel::app {

// The title of the lines a run without a window writes about itself.
inline constexpr const wchar_t* kSilentRunTitle = L"Instalacja bez okna";

// The log of a run without a window: one line per event, each with its
// time stamp and title, so an administrator can read afterwards what the
// window would have shown. Writing is best effort: a log that cannot be
// written never stops an installation (the exit code still tells).
class RunLog {
public:
    RunLog(services::PlatformOperations& platform, std::wstring path);

    const std::wstring& path() const { return path_; }
    void Write(const std::wstring& title, const std::wstring& text);

    // "2017-01-05 09:07:03.045 [title] text" and CR LF; line breaks inside
    // the text become blanks so that every entry stays one line.
    static std::wstring FormatLine(const services::LocalTime& when, const std::wstring& title,
                                   const std::wstring& text);

private:
    services::PlatformOperations& platform_;
    std::wstring path_;
};

}  // namespace kanvel::app
