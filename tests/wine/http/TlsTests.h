#pragma once

#include <string>

#include "CheckList.h"

namespace kanvel::tests {

// The addresses of the fault server's listeners that the TLS tests use, each
// "scheme://host:PORT" without a slash.
struct TlsEndpoints {
    std::wstring plainServer;  // the fault server's plain port; it also reads the shared record
    std::wstring trusted;      // https, a certificate for localhost from the trusted test CA
    std::wstring selfSigned;   // https, a certificate for localhost signed by itself
    std::wstring expired;      // https, from the test CA, expired
    std::wstring otherHost;    // https, from the test CA for another host name
};

// Certificates the system does not accept, and TLS spoken to the wrong kind
// of port, fail with a text of their own that never reads as a missing
// connection, deliver nothing, and let no request (so no credentials) reach
// the server.
void RunTlsFailureTests(CheckList& checks, const TlsEndpoints& endpoints);

}  // namespace kanvel::tests
