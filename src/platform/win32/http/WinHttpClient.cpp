#include "platform/win32/http/WinHttpClient.h"

#include "platform/win32/http/BasicCredentials.h"
#include "platform/win32/http/SocketErrors.h"
#include "platform/win32/http/SystemAccount.h"
#include "platform/win32/http/WindowsProxySettings.h"

namespace kanvel::platform::win32 {
namespace {

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

// The user's and the machine's settings, the choice made from them, and the
// sessions of each way. The workers ask them at once: the choice and the pool
// each guard themselves, so a worker waits only for a script question about
// its own host.
struct WinHttpClient::ProxyFinder {
    ProxyFinder(std::chrono::milliseconds connectTimeout, std::chrono::milliseconds receiveTimeout)
        : systemAccount(RunsAsSystemAccount()),
          settings(connectTimeout, systemAccount),
          choice(settings, systemAccount),
          sessions(connectTimeout, receiveTimeout) {}

    std::shared_ptr<WinHttpHandle> SessionFor(const std::wstring& url, services::ProxyRoute& route) {
        route = choice.For(url);
        return sessions.For(route);
    }

    bool systemAccount;
    WindowsProxySettings settings;
    services::ProxyChoice choice;
    SessionPool sessions;
};

WinHttpClient::WinHttpClient(std::chrono::milliseconds connectTimeout, std::chrono::milliseconds receiveTimeout,
                             std::chrono::milliseconds stallWindow, std::int64_t minimumBytes)
    : proxies_(std::make_shared<ProxyFinder>(connectTimeout, receiveTimeout)),
      queue_(std::make_shared<services::RequestQueue>(kMostRequestsAtOnce)),
      stallWindow_(stallWindow),
      minimumBytes_(minimumBytes) {}

services::DeclaredBody WinHttpClient::Get(const services::GetRequest& request, services::ByteSink& body) {
    const auto transfer = Start(request, body);
    return Finish(*transfer);
}

std::unique_ptr<services::StartedGet> WinHttpClient::Start(const services::GetRequest& request,
                                                           services::ByteSink& body) {
    // The worker shares what it needs (the ways and their sessions); this
    // thread only waits, answers its window and writes the body. The route
    // is chosen on the worker, so it takes the answers given so far and
    // offers its proxy only that proxy's own.
    auto make = [proxies = proxies_, url = request.url, headers = Headers(request), answers = proxySignIns_.answers(),
                 stall = StallRule{stallWindow_, minimumBytes_}](services::TransferChannel& channel) {
        std::shared_ptr<WinHttpHandle> session;
        services::ProxyRoute route;
        try {
            session = proxies->SessionFor(url, route);
        } catch (...) {
            channel.Push(services::TransferChannel::Event::Failed(std::current_exception()));
            return;
        }
        const auto proxyCredentials = services::ProxySignIns::AnswerFor(answers, route.proxy);
        RunBlockingGet(session->get(), route, url, headers, proxyCredentials, stall, channel);
    };
    return std::make_unique<WinHttpTransfer>(transfers_, queue_, request, std::move(make), body);
}

services::DeclaredBody WinHttpClient::Finish(services::StartedGet& started) {
    const auto& transfer = dynamic_cast<WinHttpTransfer&>(started);
    try {
        return Wait(transfer);
    } catch (const ProxySignInFailedAt& failed) {
        if (failed.reason() == services::ProxySignInFailed::Reason::Refused) {
            // The next request through that proxy asks again.
            proxySignIns_.Refused(failed.proxy());
            throw;
        }
        // A transfer started ahead, before the user answered for its proxy,
        // goes again with that answer; the user is asked once for each proxy.
        const auto ask = [this](const std::wstring& proxy) {
            return OnProxySignIn ? OnProxySignIn(*this, proxy) : std::nullopt;
        };
        if (!proxySignIns_.AskFor(failed.proxy(), ask)) throw;
    }
    const auto again = Start(transfer.request(), transfer.body());
    return Finish(*again);
}

services::DeclaredBody WinHttpClient::Wait(const WinHttpTransfer& transfer) {
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

RequestHeaders WinHttpClient::Headers(const services::GetRequest& request) {
    RequestHeaders headers;
    // Sent up front, not in answer to a 401 challenge, so one request is enough.
    if (const auto& server = request.serverCredentials)
        headers.credentials = BasicAuthorizationHeader(server->username, server->password);
    if (const auto& resume = request.resume)
        headers.plain =
            L"Range: bytes=" + std::to_wstring(resume->offset) + L"-\r\nIf-Range: " + resume->validator + L"\r\n";
    return headers;
}

}  // namespace kanvel::platform::win32
