#include "CheckList.h"

#include <windows.h>

#include <cstdio>

namespace kanvel::tests {

void CheckList::Check(bool passed, const std::string& what) {
    if (passed) {
        ++passed_;
    } else {
        Fail(what, "");
    }
}

void CheckList::CheckEqual(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
    if (actual == expected) {
        ++passed_;
    } else {
        Fail(what, "got \"" + Printable(actual) + "\", expected \"" + Printable(expected) + "\"");
    }
}

void CheckList::CheckEqual(std::int64_t actual, std::int64_t expected, const std::string& what) {
    if (actual == expected) {
        ++passed_;
    } else {
        Fail(what, "got " + std::to_string(actual) + ", expected " + std::to_string(expected));
    }
}

void CheckList::Fail(const std::string& what, const std::string& detail) {
    ++failed_;
    std::printf("FAILED: %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
}

int CheckList::Finish() const {
    std::printf("%d passed, %d failed\n", passed_, failed_);
    std::fflush(stdout);
    return failed_ == 0 ? 0 : 1;
}

std::string Printable(const std::wstring& text) {
    std::wstring spelt;
    for (wchar_t c : text) {
        if (c == L'\r') {
            spelt += L"\\r";
        } else if (c == L'\n') {
            spelt += L"\\n";
        } else {
            spelt += c;
        }
    }
    if (spelt.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, spelt.data(), static_cast<int>(spelt.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, spelt.data(), static_cast<int>(spelt.size()), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

}  // namespace kanvel::tests
