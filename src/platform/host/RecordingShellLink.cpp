#include "platform/host/RecordingShellLink.h"

#include <fstream>

#include "platform/host/Encoding.h"

namespace kanvel::platform::host {

void RecordingShellLink::Save(const std::wstring& linkFile) {
    const std::filesystem::path target = files_.ToHost(linkFile);
    std::error_code ec;
    if (!std::filesystem::is_directory(target.parent_path(), ec)) return;  // as the shell: no file, no error
    std::ofstream(target, std::ios::binary | std::ios::trunc) << ToUtf8(calls_);
}

}  // namespace kanvel::platform::host
