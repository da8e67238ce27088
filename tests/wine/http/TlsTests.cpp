#include "TlsTests.h"

#include <vector>

#include "Download.h"
#include "platform/win32/http/WinHttpClient.h"

namespace kanvel::tests {
namespace {

using platform::win32::WinHttpClient;
using namespace std::chrono_literals;

constexpr const wchar_t* GeneralText = L"Nie można nawiązać bezpiecznego połączenia z serwerem.";
constexpr const wchar_t* UntrustedText = L"Certyfikat serwera nie pochodzi od zaufanego wystawcy.";
constexpr const wchar_t* ExpiredText = L"Certyfikat serwera wygasł lub nie jest jeszcze ważny.";
constexpr const wchar_t* OtherNameText = L"Certyfikat serwera wystawiono dla innej nazwy serwera.";
constexpr const wchar_t* ResetText = L"Socket Error # 10054\r\nConnection reset by peer.";
const services::ServerCredentials MirrorCredentials{L"kanvel8", L"tormik584"};

struct TlsFailureCase {
    std::wstring url;
    // The text that names the cause, and the general one a system gives when
    // it does not tell the cause (Wine 8 does not).
    std::vector<std::wstring> texts;
    std::string what;
};

bool IsOneOf(const std::wstring& text, const std::vector<std::wstring>& texts) {
    for (const auto& candidate : texts) {
        if (text == candidate) return true;
    }
    return false;
}

// The fault server's shared record, read over its plain port.
std::wstring RecordText(WinHttpClient& reader, const std::wstring& plainServer) {
    const Download record = Fetch(reader, plainServer + L"/_requests");
    return std::wstring(record.body.begin(), record.body.end());
}

}  // namespace

void RunTlsFailureTests(CheckList& checks, const TlsEndpoints& endpoints) {
    const std::vector<TlsFailureCase> cases{
        {endpoints.selfSigned + L"/ok", {UntrustedText, GeneralText}, "self-signed certificate"},
        {endpoints.expired + L"/ok", {ExpiredText, GeneralText}, "expired certificate"},
        {endpoints.otherHost + L"/ok", {OtherNameText, GeneralText}, "certificate for another host name"},
        // TLS to a port that answers in plain HTTP.
        {L"https" + endpoints.plainServer.substr(endpoints.plainServer.find(L':')) + L"/ok", {GeneralText},
         "TLS to a plain HTTP port"},
        // Plain HTTP to a port that expects TLS: the server hangs up at once.
        {L"http" + endpoints.trusted.substr(endpoints.trusted.find(L':')) + L"/ok", {ResetText},
         "plain HTTP to a TLS port"},
    };
    WinHttpClient reader(5s, 5s);
    for (const auto& failure : cases) {
        WinHttpClient client(5s, 5s);
        Fetch(reader, endpoints.plainServer + L"/_reset");
        const Download download = Fetch(client, failure.url, MirrorCredentials);
        checks.Check(download.failed, failure.what + ": fails");
        checks.Check(IsOneOf(download.error, failure.texts),
                     failure.what + ": error text \"" + Printable(download.error) + "\"");
        checks.Check(download.body.empty() && download.events.empty(), failure.what + ": no body and no progress");
        checks.CheckEqual(RecordText(reader, endpoints.plainServer), L"",
                          failure.what + ": no request reached the server");
    }

    // The same client, credentials and all, goes through once the certificate is trusted.
    WinHttpClient client(5s, 5s);
    Fetch(reader, endpoints.plainServer + L"/_reset");
    const Download trusted = Fetch(client, endpoints.trusted + L"/ok", MirrorCredentials);
    checks.Check(!trusted.failed, "trusted certificate: succeeds (" + Printable(trusted.error) + ")");
    checks.CheckEqual(RecordText(reader, endpoints.plainServer), L"GET\t/ok\tBasic a2FudmVsODp0b3JtaWs1ODQ=\n",
                      "trusted certificate: the request reached the server");
}

}  // namespace kanvel::tests
