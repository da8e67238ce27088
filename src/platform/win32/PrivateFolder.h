#pragma once

#include <string>

namespace kanvel::platform::win32 {

// Creates a folder that only the running account, SYSTEM and the
// Administrators have any right to: the account owns it, those three have
// full control (inherited by everything made inside), and nothing is
// inherited from the parent. The descriptor is given when the folder is made,
// so no moment exists in which the folder is open to others. False, with the
// system's error, when the folder could not be made (or exists already).
bool CreatePrivateFolder(const std::wstring& path);

// Creates a folder with the descriptor written in Windows' SDDL text, given
// when the folder is made. False, with the system's error, when the text is
// not a descriptor or the folder could not be made (or exists already).
bool CreateFolderDescribedBy(const std::wstring& path, const std::wstring& descriptor);

// The SID of the account this process runs as, in its text form; empty when
// it cannot be read.
std::wstring RunningAccountSid();

}  // namespace kanvel::platform::win32
