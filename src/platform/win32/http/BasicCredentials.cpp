#include <windows.h>
#include <wincrypt.h>

#include "platform/win32/http/BasicCredentials.h"

#include <stdexcept>
#include <string>

namespace kanvel::platform::win32 {
namespace {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int wideLength = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::wstring ToBase64(const std::string& bytes) {
    constexpr DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    const auto* data = reinterpret_cast<const BYTE*>(bytes.data());
    const auto size = static_cast<DWORD>(bytes.size());
    DWORD length = 0;
    if (!CryptBinaryToStringW(data, size, flags, nullptr, &length)) {
        throw std::runtime_error("CryptBinaryToStringW could not size the Base64 text");
    }
    std::wstring encoded(length, L'\0');
    if (!CryptBinaryToStringW(data, size, flags, encoded.data(), &length)) {
        throw std::runtime_error("CryptBinaryToStringW could not encode the credentials");
    }
    encoded.resize(length);  // the second call leaves out the terminating zero
    return encoded;
}

}  // namespace

std::wstring BasicAuthorizationHeader(const std::wstring& username, const std::wstring& password) {
    return L"Authorization: Basic " + ToBase64(ToUtf8(username + L":" + password)) + L"\r\n";
}

}  // namespace kanvel::platform::win32
