#pragma once

#include <string>

namespace kanvel::shell {

class Installer;

// Texts the pages use as notice titles.
inline constexpr const wchar_t* kTitleWarning = L"Uwaga!";

// The modal notice: title (the window caption, not drawn), two lines and an
// "&Ok" button. With logToFile the text is first appended to the message log.
// Returns when the notice has closed, or at once when a notice is already on
// screen (it then takes the new texts and closes when its own run resumes).
void ShowNotice(Installer& installer, const std::wstring& title, const std::wstring& line1,
                const std::wstring& line2, bool logToFile);

// One line, not logged. Note the order: the text first, the title second.
void ShowShortNotice(Installer& installer, const std::wstring& text, const std::wstring& title);

}  // namespace kanvel::shell
