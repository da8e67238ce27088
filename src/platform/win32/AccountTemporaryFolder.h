#pragma once

#include <string>

namespace kanvel::platform::win32 {

// The account's own folder for temporary files, ending in "\" as Windows
// gives it: GetTempPath2W where Windows has it (the system account then gets
// C:\Windows\SystemTemp, which other accounts cannot enter, rather than
// C:\Windows\Temp, where every user may make files), else GetTempPathW.
// Empty when none is known.
std::wstring AccountTemporaryFolder();

}  // namespace kanvel::platform::win32
