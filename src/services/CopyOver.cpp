#include "services/CopyOver.h"

#include "services/InstallationBoundary.h"

namespace kanvel::services {

namespace {
constexpr wchar_t kCopyMark = L'~';
constexpr std::uint32_t kReadOnly = 0x1;
}  // namespace

std::wstring CopyBesidePath(const std::wstring& target) {
    std::wstring beside = target;
    if (!beside.empty()) beside.back() = kCopyMark;
    return beside;
}

CopyOverResult CopyOver(PlatformOperations& platform, const std::wstring& source, const std::wstring& target) {
    const std::wstring beside = CopyBesidePath(target);
    // A copy left by an interrupted run goes first; the copy then refuses to
    // write over anything, so a link planted in its place is never followed.
    if (platform.Attributes(beside)) RemoveEntryItself(platform, beside);
    if (!platform.CopyFileTo(source, beside, true)) {
        if (platform.Attributes(beside)) RemoveEntryItself(platform, beside);
        return CopyOverResult::CopyFailed;
    }
    const auto attributes = platform.Attributes(target);
    const bool readOnly = attributes && (*attributes & kReadOnly) != 0;
    if (readOnly) platform.SetAttributes(target, *attributes & ~kReadOnly);
    if (!platform.MoveReplacing(beside, target)) {
        if (readOnly) platform.SetAttributes(target, *attributes);
        RemoveEntryItself(platform, beside);
        return CopyOverResult::ReplaceFailed;
    }
    return CopyOverResult::Replaced;
}

}  // namespace kanvel::services
