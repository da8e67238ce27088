#pragma once

#include <string>

namespace kanvel::platform::win32 {

// The request header line L"Authorization: Basic <base64(user:password)>\r\n",
// the pair encoded as UTF-8 before Base64.
std::wstring BasicAuthorizationHeader(const std::wstring& username, const std::wstring& password);

}  // namespace kanvel::platform::win32
