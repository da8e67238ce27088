#include "platform/win32/http/WinHttpClient.h"

#include "platform/win32/http/BasicCredentials.h"
#include "platform/win32/http/SocketErrors.h"

namespace kanvel::platform::win32 {
namespace {

constexpr const wchar_t* UserAgent = L"Kanvel-Installer/7.0";

WinHttpHandle OpenSession(std::chrono::milliseconds connectTimeout, std::chrono::milliseconds receiveTimeout) {
    WinHttpHandle session(
        WinHttpOpen(UserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        ThrowLastConnectionFailure();
    }
    // Name resolution and connecting share one limit; sending, waiting for the
    // answer's headers and waiting for each block of the body share the other.
    const auto connectMs = static_cast<int>(connectTimeout.count());
    const auto receiveMs = static_cast<int>(receiveTimeout.count());
    DWORD responseMs = static_cast<DWORD>(receiveMs);
    if (!WinHttpSetTimeouts(session.get(), connectMs, connectMs, receiveMs, receiveMs) ||
        !WinHttpSetOption(session.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseMs, sizeof responseMs)) {
        ThrowLastConnectionFailure();
    }
    return session;
}

// Handles what is waiting for this thread, for a caller that has no window
// of its own to keep alive; WM_QUIT is left for the caller's loop.
void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

WinHttpClient::WinHttpClient(std::chrono::milliseconds connectTimeout, std::chrono::milliseconds receiveTimeout,
                             std::chrono::milliseconds stallWindow, std::int64_t minimumBytes)
    : session_(std::make_shared<WinHttpHandle>(OpenSession(connectTimeout, receiveTimeout))),
      queue_(std::make_shared<RequestQueue>(session_, kMostRequestsAtOnce)),
      stallWindow_(stallWindow),
      minimumBytes_(minimumBytes) {}

services::DeclaredBody WinHttpClient::Get(const std::wstring& url, services::ByteSink& body) {
    const auto transfer = Start(url, body);
    return Finish(*transfer);
}

std::unique_ptr<services::StartedGet> WinHttpClient::Start(const std::wstring& url, services::ByteSink& body) {
    return std::make_unique<WinHttpTransfer>(transfers_, *queue_, url, RequestHeaders(),
                                             StallRule{stallWindow_, minimumBytes_}, body);
}

services::DeclaredBody WinHttpClient::Finish(services::StartedGet& started) {
    const auto& transfer = dynamic_cast<WinHttpTransfer&>(started);
    Reported reported;
    for (;;) {
        for (WinHttpTransfer* each : transfers_) each->Drain();
        Report(transfer, reported);
        if (transfer.over()) {
            if (reported.begun && OnWorkEnd) OnWorkEnd(*this, services::WorkMode::Reading);
            return transfer.Result();
        }
        WaitForAny();
    }
}

// What arrived before the caller waited for this transfer is reported at once.
void WinHttpClient::Report(const WinHttpTransfer& transfer, Reported& reported) {
    const auto mode = services::WorkMode::Reading;
    if (transfer.begun() && !reported.begun) {
        reported.begun = true;
        if (OnWorkBegin) OnWorkBegin(*this, mode, transfer.declared().length.value_or(0));
    }
    if (transfer.received() > reported.done) {
        reported.done = transfer.received();
        if (OnWork) OnWork(*this, mode, reported.done);
    }
}

void WinHttpClient::WaitForAny() {
    std::vector<HANDLE> ready;
    for (const WinHttpTransfer* each : transfers_)
        if (!each->over() && ready.size() < MAXIMUM_WAIT_OBJECTS - 1) ready.push_back(each->ready());
    const auto count = static_cast<DWORD>(ready.size());
    if (MsgWaitForMultipleObjectsEx(count, ready.data(), INFINITE, QS_ALLINPUT, 0) != WAIT_OBJECT_0 + count) return;
    if (OnWait)
        OnWait(*this);
    else
        PumpMessages();
}

std::wstring WinHttpClient::RequestHeaders() const {
    // Sent up front, not in answer to a 401 challenge, so one request is enough.
    return BasicAuthentication ? BasicAuthorizationHeader(Username, Password) : std::wstring();
}

}  // namespace kanvel::platform::win32
