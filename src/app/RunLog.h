#pragma once

#include <string>

#include "services/system/Clock.h"
#include "services/system/FileSystem.h"
#include "services/system/PlatformRoles.h"

namespace kanvel::app {

// The title of the lines a run without a window writes about itself.
inline constexpr const wchar_t* kSilentRunTitle = L"Instalacja bez okna";

// The log of a run: one line per event, each with its time stamp and title,
// so an administrator can read afterwards what the window would have shown.
// It is a file of its own, in UTF-8 with a byte-order mark, so that Polish
// letters read right under any code page. Once opened, writing is best
// effort: a line that cannot be written never stops an installation (the
// exit code still tells). A log without a path writes nothing.
class RunLog {
public:
    RunLog(services::PlatformRoles<services::FileSystem, services::Clock> platform, std::wstring path);

    // The run's own log when none is asked for: in the user's temporary
    // folder, since the folder of the installer is often a read-only share
    // or a package folder deleted right after the run.
    static std::wstring DefaultPath(services::FileSystem& files);

    const std::wstring& path() const { return path_; }
    // Creates the file, or finds it ready to append to: false when it cannot
    // be written (a folder, a device, a missing folder), and the run must
    // then not start.
    bool Open();
    void Write(const std::wstring& title, const std::wstring& text);

    // "2017-01-05 09:07:03.045 [title] text" and CR LF; line breaks inside
    // the text become blanks so that every entry stays one line.
    static std::wstring FormatLine(const services::LocalTime& when, const std::wstring& title,
                                   const std::wstring& text);

private:
    services::FileSystem& files_;
    services::Clock& clock_;
    std::wstring path_;
};

}  // namespace kanvel::app
