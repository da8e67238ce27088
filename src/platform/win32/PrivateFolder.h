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

}  // namespace kanvel::platform::win32
