#pragma once

#include <cstdint>
#include <string>

namespace kanvel::tests {

// Counts checks and prints one line for each that fails.
class CheckList {
public:
    void Check(bool passed, const std::string& what);
    void CheckEqual(const std::wstring& actual, const std::wstring& expected, const std::string& what);
    void CheckEqual(std::int64_t actual, std::int64_t expected, const std::string& what);

    // Prints "N passed, N failed" and returns the process exit code.
    int Finish() const;

private:
    void Fail(const std::string& what, const std::string& detail);

    int passed_ = 0;
    int failed_ = 0;
};

// UTF-8 for the console, with CR and LF spelt out so an error text stays on one line.
std::string Printable(const std::wstring& text);

}  // namespace kanvel::tests
