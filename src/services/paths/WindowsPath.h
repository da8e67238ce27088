#pragma once

#include <string>
#include <string_view>

namespace kanvel::services {

// Windows paths ("\" between names, "C:" for a drive), taken apart, put
// together and compared one way for the whole installer. Names are split at
// "\" only: a "/" or ":" inside a name stays part of it, and the one place
// that also splits after a drive's ":" (a shortcut's working folder) says so.

// The folder and a name joined by one "\".
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// The last name of the path: everything after its last "\".
std::wstring_view FileNameOf(std::wstring_view path);

// A shortcut's working folder taken from its target: everything up to and
// including the last "\" or ":" ("C:Edytor3.exe" gives "C:"); empty when the
// path has neither.
std::wstring_view FolderWithSeparatorOf(std::wstring_view path);

// Everything before the last "\"; a root ("C:\", "\") keeps its "\".
std::wstring FolderOf(std::wstring_view path);

// The last name of a folder path, final separators ignored ("C:\Dane\" -> "Dane").
std::wstring_view LastNameOf(std::wstring_view path);

// Letters a-z made upper case, every other character left alone. Windows
// compares the names the installer deals with ("OR-Vel", option names,
// "setup._exe") without regard to case, and they are plain ASCII, so this
// one fold serves every comparison that ignores case.
std::wstring UpperCaseAscii(std::wstring text);
std::wstring LowerCaseAscii(std::wstring text);
bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b);
bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view part);

}  // namespace kanvel::services
