// End-to-end tests of WinHttpClient under Wine, against the fault server and
// the local mirror that run-http-tests.sh starts, over plain HTTP and over TLS.
#include <cstdio>
#include <exception>
#include <string>

#include "CheckList.h"
#include "DownloadRuleTests.h"
#include "FaultServerTests.h"
#include "MirrorTests.h"
#include "TlsTests.h"

namespace {
constexpr const char* Usage =
    "usage: kanvel_http_wine_tests FAULT_SERVER_URL CLOSED_PORT_URL MIRROR_URL MIRROR_ROOT\n"
    "         TLS_FAULT_SERVER_URL TLS_CLOSED_PORT_URL TLS_MIRROR_URL\n"
    "         SELF_SIGNED_URL EXPIRED_URL OTHER_HOST_URL\n";
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 11) {
        std::fputs(Usage, stderr);
        return 2;
    }
    kanvel::tests::CheckList checks;
    try {
        kanvel::tests::RunFaultServerTests(checks, argv[1], argv[2]);
        kanvel::tests::RunDownloadRuleTests(checks, argv[1]);
        kanvel::tests::RunMirrorTests(checks, argv[3], argv[4]);
        // Every fault again over TLS, then the failures TLS adds.
        kanvel::tests::RunFaultServerTests(checks, argv[5], argv[6]);
        kanvel::tests::RunMirrorTests(checks, argv[7], argv[4]);
        kanvel::tests::RunTlsFailureTests(checks, {.plainServer = argv[1],
                                                   .trusted = argv[5],
                                                   .selfSigned = argv[8],
                                                   .expired = argv[9],
                                                   .otherHost = argv[10]});
    } catch (const std::exception& error) {
        checks.Check(false, std::string("unexpected exception: ") + error.what());
    }
    return checks.Finish();
}
