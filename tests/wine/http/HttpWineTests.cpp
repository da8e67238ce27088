// End-to-end tests of WinHttpClient under Wine, against the fault server and
// the local mirror that run-http-tests.sh starts.
// Usage: kanvel_http_wine_tests FAULT_SERVER_URL CLOSED_PORT_URL MIRROR_URL MIRROR_ROOT
#include <cstdio>
#include <exception>
#include <string>

#include "CheckList.h"
#include "FaultServerTests.h"
#include "MirrorTests.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fputs("usage: kanvel_http_wine_tests FAULT_SERVER_URL CLOSED_PORT_URL MIRROR_URL MIRROR_ROOT\n", stderr);
        return 2;
    }
    kanvel::tests::CheckList checks;
    try {
        kanvel::tests::RunFaultServerTests(checks, argv[1], argv[2]);
        kanvel::tests::RunMirrorTests(checks, argv[3], argv[4]);
    } catch (const std::exception& error) {
        checks.Check(false, std::string("unexpected exception: ") + error.what());
    }
    return checks.Finish();
}
