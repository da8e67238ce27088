#include "services/localcopy/LayoutList.h"

#include <algorithm>

#include "services/paths/WindowsPath.h"

namespace kanvel::services {

namespace {
constexpr std::string_view kHeader = "kanvel-layout ";
constexpr std::string_view kEnd = "end ";
constexpr std::string_view kRelease = "release ";

// Why a list is refused: the short texts that follow the run's own words.
constexpr const wchar_t* kNotAList = L"to nie jest lista plików kopii";
constexpr const wchar_t* kUnknownVersion = L"nieznana wersja listy: ";
constexpr const wchar_t* kTooLong = L"lista jest za długa";
constexpr const wchar_t* kCutShort = L"lista niekompletna (brak ostatniego wiersza)";
constexpr const wchar_t* kChanged = L"lista uszkodzona lub zmieniona (nie zgadza się jej SHA-256)";
constexpr const wchar_t* kWrongCount = L"lista uszkodzona (nie zgadza się liczba plików)";
constexpr const wchar_t* kAfterEnd = L"lista uszkodzona (wiersze po ostatnim wierszu)";
constexpr const wchar_t* kBadLine = L"błędny wiersz listy nr ";
constexpr const wchar_t* kRepeated = L"plik na liście więcej niż raz: ";
constexpr const wchar_t* kBadRelease = L"błędny wiersz wydania listy";

// A release's version is short ("8.0.1"); the registry keeps it as DisplayVersion.
constexpr std::size_t kMostReleaseCharacters = 32;
constexpr std::wstring_view kForbiddenInPath = L"\\:*?\"<>|";

std::wstring Widened(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::string Narrowed(std::wstring_view ascii) {
    std::string text;
    for (const wchar_t c : ascii) text += static_cast<char>(c);
    return text;
}

std::optional<Sha256> StrictHex(std::string_view text) {
    Sha256 digest{};
    if (text.size() != digest.size() * 2) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const int value = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (value < 0) return std::nullopt;
        digest[i / 2] = static_cast<std::uint8_t>(digest[i / 2] << 4 | value);
    }
    return digest;
}

// A decimal number without sign or leading zeros that fits 64 bits.
std::optional<std::uint64_t> Number(std::string_view text) {
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// The text's lines without their line ends (LF, or CR LF); the last one is
// what follows the last LF (empty when the text ends with one).
std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + 1);
    }
}

Sha256 DigestOfLines(const std::vector<std::string_view>& lines, std::size_t count, Sha256Digest& digest) {
    for (std::size_t i = 0; i < count; ++i) {
        digest.Add(reinterpret_cast<const std::uint8_t*>(lines[i].data()), lines[i].size());
        digest.Add(reinterpret_cast<const std::uint8_t*>("\n"), 1);
    }
    return digest.Finish();
}

// "<sha256> <size> <path>"
std::optional<ListedFile> FileLine(std::string_view line) {
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto digest = StrictHex(line.substr(0, first));
    const auto size = Number(line.substr(first + 1, second - first - 1));
    const std::wstring path = Widened(line.substr(second + 1));
    if (!digest || !size || !LayoutList::ValidPath(path)) return std::nullopt;
    return ListedFile{path, *size, *digest};
}

LayoutReading Refused(std::wstring reason) { return {std::nullopt, std::move(reason)}; }
}  // namespace

bool LayoutList::ValidPath(std::wstring_view path) {
    if (path.empty()) return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(path.find(L'/', start), path.size());
        const std::wstring_view part = path.substr(start, end - start);
        if (part.empty() || part == L"." || part == L"..") return false;
        for (const wchar_t c : part)
            if (c < 0x20 || c > 0x7E || kForbiddenInPath.find(c) != std::wstring_view::npos) return false;
        if (end == path.size()) return true;
        start = end + 1;
    }
}

bool LayoutList::ValidRelease(std::wstring_view release) {
    if (release.empty() || release.size() > kMostReleaseCharacters) return false;
    bool digitBefore = false;
    for (const wchar_t c : release) {
        if (c == L'.' && !digitBefore) return false;
        if (c != L'.' && (c < L'0' || c > L'9')) return false;
        digitBefore = c != L'.';
    }
    return digitBefore;
}

LayoutReading LayoutList::Read(std::string_view text, Sha256Digest& digest) {
    if (text.size() > kMaxBytes) return Refused(kTooLong);
    const auto lines = LinesOf(text);
    if (!lines[0].starts_with(kHeader)) return Refused(kNotAList);
    const std::string_view version = lines[0].substr(kHeader.size());
    if (!Number(version)) return Refused(kNotAList);
    const auto format = *Number(version);
    if (format != static_cast<std::uint64_t>(kVersion) && format != static_cast<std::uint64_t>(kVersionWithoutRelease))
        return Refused(kUnknownVersion + Widened(version));

    // The last line first: a list cut short or changed is refused as such,
    // whatever its lines look like.
    const auto endLine = std::find_if(lines.begin() + 1, lines.end(), [](auto line) { return line.starts_with(kEnd); });
    if (endLine == lines.end()) return Refused(kCutShort);
    const auto endAt = static_cast<std::size_t>(endLine - lines.begin());
    const std::string_view trailer = endLine->substr(kEnd.size());
    const std::size_t blank = trailer.find(' ');
    const auto count = Number(trailer.substr(0, blank));
    const auto sum = blank == std::string_view::npos ? std::nullopt : StrictHex(trailer.substr(blank + 1));
    if (!count || !sum || *sum != DigestOfLines(lines, endAt, digest)) return Refused(kChanged);
    if (endAt + 2 < lines.size() || (endAt + 2 == lines.size() && !lines.back().empty())) return Refused(kAfterEnd);
    const std::size_t firstFile = format == static_cast<std::uint64_t>(kVersion) ? 2 : 1;
    if (endAt < firstFile || *count != endAt - firstFile) return Refused(kWrongCount);

    LayoutList list;
    if (firstFile == 2) {
        if (!lines[1].starts_with(kRelease)) return Refused(kBadRelease);
        const std::wstring release = Widened(lines[1].substr(kRelease.size()));
        if (!ValidRelease(release)) return Refused(kBadRelease);
        list.release_ = release;
    }
    for (std::size_t i = firstFile; i < endAt; ++i) {
        const auto file = FileLine(lines[i]);
        if (!file) return Refused(kBadLine + std::to_wstring(i + 1));
        if (list.Find(file->path)) return Refused(kRepeated + file->path);
        list.files_.push_back(*file);
    }
    return {std::move(list), std::wstring()};
}

std::string LayoutList::Text(Sha256Digest& digest) const {
    std::vector<ListedFile> sorted = files_;
    std::ranges::sort(sorted, {}, &ListedFile::path);
    std::string text = std::string(kHeader);
    if (release_.empty())
        text += std::to_string(kVersionWithoutRelease) + "\n";
    else
        text += std::to_string(kVersion) + "\n" + std::string(kRelease) + Narrowed(release_) + "\n";
    for (const auto& file : sorted)
        text += Narrowed(HexOf(file.sha256)) + " " + std::to_string(file.size) + " " + Narrowed(file.path) + "\n";
    digest.Add(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return text + std::string(kEnd) + std::to_string(sorted.size()) + " " + Narrowed(HexOf(digest.Finish())) + "\n";
}

const ListedFile* LayoutList::Find(std::wstring_view path) const {
    const auto found =
        std::ranges::find_if(files_, [&](const ListedFile& file) { return EqualIgnoringCase(file.path, path); });
    return found == files_.end() ? nullptr : &*found;
}

void LayoutList::Put(ListedFile file) {
    Remove(file.path);
    files_.push_back(std::move(file));
}

void LayoutList::Remove(std::wstring_view path) {
    std::erase_if(files_, [&](const ListedFile& file) { return EqualIgnoringCase(file.path, path); });
}

}  // namespace kanvel::services
