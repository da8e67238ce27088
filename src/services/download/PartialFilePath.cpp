#include "services/download/PartialFilePath.h"

#include "services/paths/WindowsPath.h"

namespace kanvel::services {

namespace {
constexpr std::wstring_view kPartialEnding = L".part";
constexpr std::size_t kMaxNameLength = 255;
}  // namespace

std::wstring PartialFilePath(const std::wstring& target) {
    const std::size_t nameLength = FileNameOf(target).size();
    std::wstring partial = target;
    if (nameLength + kPartialEnding.size() > kMaxNameLength)
        partial.resize(target.size() - nameLength + kMaxNameLength - kPartialEnding.size());
    return partial += kPartialEnding;
}

}  // namespace kanvel::services
