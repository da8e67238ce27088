#include "services/http/DownloadUrlRule.h"

#include <algorithm>
#include <optional>

#include "services/paths/WindowsPath.h"

namespace kanvel::services {

namespace {
constexpr std::wstring_view kSchemeEnd = L"://";
constexpr std::wstring_view kHttp = L"http";
constexpr std::wstring_view kHttps = L"https";
constexpr unsigned kMaxPort = 65535;
constexpr int kMaxOctet = 255;
constexpr int kIpv4Parts = 4;

bool IsAsciiLetterOrDigit(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsHexDigit(wchar_t c) { return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// A path may hold what a URL path holds unescaped, and "%" escapes: never
// "?", "#", "\", blanks, control or non-ASCII characters.
bool IsPathCharacter(wchar_t c) {
    return IsAsciiLetterOrDigit(c) || std::wstring_view(L"-._~!$&'()*+,;=:@%/").find(c) != std::wstring_view::npos;
}

bool IsHostName(std::wstring_view host) {
    return !host.empty() &&
           std::ranges::all_of(host, [](wchar_t c) { return IsAsciiLetterOrDigit(c) || c == L'.' || c == L'-'; });
}

bool IsBracketedIpv6(std::wstring_view host) {
    return host.size() > 2 && host.front() == L'[' && host.back() == L']' &&
           std::ranges::all_of(host.substr(1, host.size() - 2),
                               [](wchar_t c) { return IsHexDigit(c) || c == L':' || c == L'.'; });
}

// Decimal digits, 1 to 65535.
bool IsPort(std::wstring_view port) {
    if (port.empty() || port.size() > 5 || !std::ranges::all_of(port, IsDigit)) return false;
    unsigned value = 0;
    for (wchar_t c : port) value = value * 10 + static_cast<unsigned>(c - L'0');
    return value >= 1 && value <= kMaxPort;
}

// "host[:port]" split; nothing when it does not come apart cleanly.
std::optional<std::wstring_view> HostOf(std::wstring_view authority) {
    std::wstring_view host = authority;
    std::wstring_view port;
    const std::size_t bracketEnd = authority.rfind(L']');
    const std::size_t colon = authority.rfind(L':');
    if (colon != std::wstring_view::npos && (bracketEnd == std::wstring_view::npos || colon > bracketEnd)) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (!IsPort(port)) return std::nullopt;
    }
    if (!IsHostName(host) && !IsBracketedIpv6(host)) return std::nullopt;
    return host;
}

// A decimal number of 0 to 255 without leading zeros.
bool IsOctet(std::wstring_view part) {
    if (part.empty() || part.size() > 3 || !std::ranges::all_of(part, IsDigit)) return false;
    if (part.size() > 1 && part.front() == L'0') return false;
    int value = 0;
    for (wchar_t c : part) value = value * 10 + (c - L'0');
    return value <= kMaxOctet;
}

bool IsLoopbackIpv4(std::wstring_view host) {
    int parts = 0;
    for (;;) {
        const std::size_t dot = host.find(L'.');
        const std::wstring_view part = host.substr(0, dot);
        if (!IsOctet(part) || (parts == 0 && part != L"127")) return false;
        ++parts;
        if (dot == std::wstring_view::npos) return parts == kIpv4Parts;
        host.remove_prefix(dot + 1);
    }
}
}  // namespace

bool IsLoopbackHost(std::wstring_view host) {
    return EqualIgnoringCase(host, L"localhost") || host == L"[::1]" || host == L"[0:0:0:0:0:0:0:1]" ||
           IsLoopbackIpv4(host);
}

DownloadUrlVerdict JudgeDownloadUrl(std::wstring_view url, bool plainHttpAllowed) {
    const std::size_t schemeEnd = url.find(kSchemeEnd);
    if (schemeEnd == std::wstring_view::npos) return DownloadUrlVerdict::Malformed;
    const std::wstring_view scheme = url.substr(0, schemeEnd);
    const bool plain = EqualIgnoringCase(scheme, kHttp);
    if (!plain && !EqualIgnoringCase(scheme, kHttps)) return DownloadUrlVerdict::Malformed;
    const std::wstring_view rest = url.substr(schemeEnd + kSchemeEnd.size());
    // The authority ends at the path's first "/": whatever else could end it
    // for another parser ("?", "#", "\") or hide the host ("@") is refused.
    const std::size_t pathStart = rest.find(L'/');
    if (pathStart == std::wstring_view::npos) return DownloadUrlVerdict::Malformed;
    const auto host = HostOf(rest.substr(0, pathStart));
    const std::wstring_view path = rest.substr(pathStart);
    if (!host || !path.ends_with(L'/') || !std::ranges::all_of(path, IsPathCharacter))
        return DownloadUrlVerdict::Malformed;
    if (plain && !plainHttpAllowed && !IsLoopbackHost(*host)) return DownloadUrlVerdict::PlainHttpToAnotherMachine;
    return DownloadUrlVerdict::Accepted;
}

}  // namespace kanvel::services
