#include "services/localcopy/ServedList.h"

#include "services/http/TransferFailure.h"
#include "services/localcopy/LayoutList.h"
#include "services/trust/ListSignature.h"

namespace kanvel::services {

namespace {
constexpr int kNotFound = 404;
constexpr int kGone = 410;
constexpr const wchar_t* kTooLong = L"lista jest za długa";

bool Missing(const TransferFailure& failure) {
    return failure.kind() == TransferFailure::Kind::HttpStatus &&
           (failure.number() == kNotFound || failure.number() == kGone);
}
}  // namespace

void ListBytes::Write(const std::uint8_t* data, std::size_t size) {
    if (bytes.size() + size > LayoutList::kMaxBytes) throw InstallerError(kTooLong);
    bytes.append(reinterpret_cast<const char*>(data), size);
}

ServedList ServedList::Fetch(HttpClient& client, const std::wstring& folderUrl) {
    const std::wstring listUrl = folderUrl + LayoutList::kFileName;
    const std::wstring signatureUrl = listUrl + kListSignatureSuffix;
    ServedList served;
    for (const std::wstring& url : {listUrl, signatureUrl}) {
        ListBytes body;
        try {
            client.Get({url}, body);
        } catch (const TransferFailure& e) {
            // Only the signature may be missing without the list being lost.
            if (url == signatureUrl && Missing(e)) break;
            return {std::nullopt, std::nullopt, Missing(e), url + L": " + e.text()};
        } catch (const InstallerError& e) {
            return {std::nullopt, std::nullopt, false, url + L": " + e.text()};
        }
        (url == listUrl ? served.text : served.signature) = std::move(body.bytes);
    }
    return served;
}

}  // namespace kanvel::services
