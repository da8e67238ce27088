#pragma once

#include <string_view>

namespace kanvel::services {

// The rule for the download base URL, read as WinHTTP reads a URL. The
// installer runs what it downloads, so a download from another machine
// must come over HTTPS, where Windows checks the server's certificate;
// plain HTTP is harmless only on the machine itself (127.0.0.0/8,
// localhost, [::1]). A URL is taken only when it comes apart one way:
// "http[s]://host[:port]/path/", with no user information, no "?", "#" or
// "\" anywhere (a parser that reads those differently could connect to
// another host than the one this rule saw), a host of letters, digits, dots
// and hyphens or an IPv6 address in brackets, and a path that ends in "/".
// cmake/DownloadUrlRule.cmake applies the same rule at configure time; the
// two are tested on one list of cases.
enum class DownloadUrlVerdict {
    Accepted,
    Malformed,                  // does not take apart cleanly
    PlainHttpToAnotherMachine,  // http:// to a host that is not this machine
};

DownloadUrlVerdict JudgeDownloadUrl(std::wstring_view url, bool plainHttpAllowed);

// True for the names of this machine: localhost, 127.0.0.0/8 written as four
// decimal numbers without leading zeros, [::1] (also written out in full).
bool IsLoopbackHost(std::wstring_view host);

}  // namespace kanvel::services
