#pragma once

#include <string>

namespace kanvel::platform::win32 {

// Removes the Zone.Identifier stream ("mark of the web") from a file the
// installer copied from itself: a browser marks the installer it downloads,
// Windows copies that stream with the file, and the installer's own copies
// (the one kept in the installation, the temporary one of a removal) are
// files it made, which must not be taken for downloads.
void RemoveMarkOfTheWeb(const std::wstring& file);

}  // namespace kanvel::platform::win32
