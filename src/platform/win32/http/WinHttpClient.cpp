#include "platform/win32/http/WinHttpClient.h"

#include <thread>

#include "platform/win32/http/BasicCredentials.h"
#include "platform/win32/http/SocketErrors.h"
#include "platform/win32/http/TransferChannel.h"
#include "platform/win32/http/WinHttpRequest.h"
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

// The user's and the machine's settings, and the choice made from them.
struct WinHttpClient::ProxyFinder {
    explicit ProxyFinder(std::chrono::milliseconds scriptTimeout) : settings(scriptTimeout) {}
    WindowsProxySettings settings;
    services::ProxyChoice choice{settings};
};

WinHttpClient::WinHttpClient(std::chrono::milliseconds connectTimeout, std::chrono::milliseconds receiveTimeout,
                             std::chrono::milliseconds stallWindow, std::int64_t minimumBytes)
    : sessions_(std::make_shared<SessionPool>(connectTimeout, receiveTimeout)),
      proxies_(std::make_shared<ProxyFinder>(connectTimeout)),
      stallWindow_(stallWindow),
      minimumBytes_(minimumBytes) {}

services::DeclaredBody WinHttpClient::Get(const std::wstring& url, services::ByteSink& body) {
    for (;;) {
        try {
            return Transfer(url, body);
        } catch (const ProxyCredentialsNeeded&) {
            if (!AskForProxyCredentials()) throw services::ProxySignInFailed(services::kProxySignInNotGiven);
        } catch (const services::ProxySignInFailed&) {
            // Refused: the next request asks again.
            proxyCredentials_.reset();
            proxySignInAsked_ = false;
            throw;
        }
    }
}

bool WinHttpClient::AskForProxyCredentials() {
    if (proxySignInAsked_) return false;
    proxySignInAsked_ = true;
    if (OnProxySignIn) proxyCredentials_ = OnProxySignIn(*this);
    return proxyCredentials_.has_value();
}

services::DeclaredBody WinHttpClient::Transfer(const std::wstring& url, services::ByteSink& body) {
    // The worker owns its request and this channel; the session lives as long
    // as the last of them. This thread only waits, answers its window and
    // writes the body.
    auto channel = std::make_shared<TransferChannel>();
    std::thread worker([sessions = sessions_, proxies = proxies_, channel, url, headers = Headers(),
                        proxyCredentials = proxyCredentials_, stall = StallRule{stallWindow_, minimumBytes_}] {
        std::shared_ptr<WinHttpHandle> session;
        services::ProxyRoute route;
        try {
            route = proxies->choice.For(url);
            session = sessions->For(route);
        } catch (...) {
            channel->Push(TransferChannel::Event::Failed(std::current_exception()));
            return;
        }
        RunBlockingGet(session->get(), !route.direct(), url, headers, proxyCredentials, stall, *channel);
    });
    services::DeclaredBody declared;
    try {
        declared = Wait(*channel, body);
    } catch (...) {
        // Given up: the worker stops at its next step (a server that has gone
        // silent keeps it until the receive time-out) and touches nothing of ours.
        channel->Cancel();
        worker.detach();
        throw;
    }
    worker.join();
    return declared;
}

services::DeclaredBody WinHttpClient::Wait(TransferChannel& channel, services::ByteSink& body) {
    TransferProgress progress;
    for (;;) {
        for (auto& event : channel.TakeAll())
            if (Handle(event, body, progress)) return progress.declared;
        const HANDLE ready = channel.ready();
        if (MsgWaitForMultipleObjectsEx(1, &ready, INFINITE, QS_ALLINPUT, 0) == WAIT_OBJECT_0 + 1) {
            if (OnWait)
                OnWait(*this);
            else
                PumpMessages();
        }
    }
}

bool WinHttpClient::Handle(TransferChannel::Event& event, services::ByteSink& body, TransferProgress& progress) {
    const auto mode = services::WorkMode::Reading;
    switch (event.kind) {
        case TransferChannel::Event::Kind::Begin:
            progress.begun = true;
            progress.declared = event.declared;
            body.Begin(event.declared);
            if (OnWorkBegin) OnWorkBegin(*this, mode, event.declared.length.value_or(0));
            return false;
        case TransferChannel::Event::Kind::Block:
            body.Write(event.block.data(), event.block.size());
            progress.done += static_cast<std::int64_t>(event.block.size());
            if (OnWork) OnWork(*this, mode, progress.done);
            return false;
        case TransferChannel::Event::Kind::End:
            if (OnWorkEnd) OnWorkEnd(*this, mode);
            return true;
        case TransferChannel::Event::Kind::Failed:
            if (progress.begun && OnWorkEnd) OnWorkEnd(*this, mode);
            std::rethrow_exception(event.error);
    }
    return false;
}

RequestHeaders WinHttpClient::Headers() const {
    RequestHeaders headers;
    // Sent up front, not in answer to a 401 challenge, so one request is enough.
    if (BasicAuthentication) headers.credentials = BasicAuthorizationHeader(Username, Password);
    if (ResumeFrom)
        headers.plain = L"Range: bytes=" + std::to_wstring(ResumeFrom->offset) + L"-\r\nIf-Range: " +
                        ResumeFrom->validator + L"\r\n";
    return headers;
}

}  // namespace kanvel::platform::win32
