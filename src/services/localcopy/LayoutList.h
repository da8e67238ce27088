#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/trust/Sha256Digest.h"

namespace kanvel::services {

// One file of a copy of the download server: its path below the copy's
// folder as the server names it ("programy/wersja7/bkp6/baza1.db"), its size
// and its SHA-256.
struct ListedFile {
    std::wstring path;
    std::uint64_t size = 0;
    Sha256 sha256{};

    bool operator==(const ListedFile&) const = default;
};

// The list of a copy of the download server's files (/LAYOUT makes it,
// /SOURCE reads it), a plain text file in the copy's folder:
//
//   kanvel-layout 2
//   release <the release's version, such as 8.0.1>
//   <SHA-256, 64 lower-case hex digits> <size in bytes> <path>
//   ...
//   end <number of files> <SHA-256 of every byte above this line>
//
// The release line names the release the files make: the maker's list of a
// release has it (tools/release-list.sh writes it), a copy's list made from
// a server without one has not. A list without it is written as version 1,
// whose second line is the first file's, so lists of either version read.
//
// Lines end in LF (a CR before it is ignored, so a list that passed through a
// tool that writes CR LF still reads); paths are ASCII, "/"-separated and
// relative, with no "." or ".." part. A reader refuses a version it does not
// know, and a list whose last line is missing (cut short) or does not match
// what is above it (changed, lines lost or added). The last line guards
// against a damaged or incomplete copy; who may change the copy's files may
// also write a new list, so the copy's place must be writable only by its
// administrators (and programs are still checked by their signature).
class LayoutList {
public:
    // The format's version with a release line, and without one.
    static constexpr int kVersion = 2;
    static constexpr int kVersionWithoutRelease = 1;
    // The list's name in the copy's folder.
    static constexpr const wchar_t* kFileName = L"Kanvel-pliki.txt";
    // A list is small; anything longer is not one.
    static constexpr std::size_t kMaxBytes = 1 << 20;

    // The list, or why it was refused.
    static struct LayoutReading Read(std::string_view text, Sha256Digest& digest);
    // The list's text, files in the order of their paths.
    std::string Text(Sha256Digest& digest) const;

    // The file listed under exactly this path, if any.
    const ListedFile* Find(std::wstring_view path) const;
    // Lists the file, in place of an entry of the same path.
    void Put(ListedFile file);
    void Remove(std::wstring_view path);
    const std::vector<ListedFile>& files() const { return files_; }
    // The release's version the list names; empty when it names none.
    const std::wstring& release() const { return release_; }
    void SetRelease(std::wstring release) { release_ = std::move(release); }

    // True for a path a list may hold.
    static bool ValidPath(std::wstring_view path);
    // True for a release's version a list may name: numbers with dots between.
    static bool ValidRelease(std::wstring_view release);

private:
    std::vector<ListedFile> files_;
    std::wstring release_;
};

// A list that was read, or why it was refused (a short Polish text).
struct LayoutReading {
    std::optional<LayoutList> list;
    std::wstring refusal;
};

}  // namespace kanvel::services
