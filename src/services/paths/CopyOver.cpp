#include "services/paths/CopyOver.h"

#include "services/paths/InstallationBoundary.h"

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

CopyOverResult CopyOver(FileSystem& files, const std::wstring& source, const std::wstring& target) {
    const std::wstring beside = CopyBesidePath(target);
    // A copy left by an interrupted run goes first; the copy then refuses to
    // write over anything, so a link planted in its place is never followed.
    if (files.Attributes(beside)) RemoveEntryItself(files, beside);
    if (!files.CopyFileTo(source, beside, true)) {
        if (files.Attributes(beside)) RemoveEntryItself(files, beside);
        return CopyOverResult::CopyFailed;
    }
    const auto attributes = files.Attributes(target);
    const bool readOnly = attributes && (*attributes & kReadOnly) != 0;
    if (readOnly) files.SetAttributes(target, *attributes & ~kReadOnly);
    if (!files.MoveReplacing(beside, target)) {
        if (readOnly) files.SetAttributes(target, *attributes);
        RemoveEntryItself(files, beside);
        return CopyOverResult::ReplaceFailed;
    }
    return CopyOverResult::Replaced;
}

}  // namespace kanvel::services
