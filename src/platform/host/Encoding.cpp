#include "platform/host/Encoding.h"

#include <iconv.h>

#include <stdexcept>
#include <vector>

namespace kanvel::platform::host {

namespace {
std::string Convert(const char* to, const char* from, const char* data, std::size_t size) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    std::vector<char> out(size * 4 + 16);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1)) throw std::runtime_error("text conversion failed");
    return std::string(out.data(), out.size() - outLeft);
}
}  // namespace

std::string ToUtf8(const std::wstring& text) {
    return Convert("UTF-8", "WCHAR_T", reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring FromUtf8(const std::string& text) {
    const std::string wide = Convert("WCHAR_T", "UTF-8", text.data(), text.size());
    return std::wstring(reinterpret_cast<const wchar_t*>(wide.data()), wide.size() / sizeof(wchar_t));
}

std::string ToAnsi(const std::wstring& text) {
    return Convert("CP1250//TRANSLIT", "WCHAR_T", reinterpret_cast<const char*>(text.data()),
                   text.size() * sizeof(wchar_t));
}

}  // namespace kanvel::platform::host
