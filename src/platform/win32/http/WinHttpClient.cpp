#include "platform/win32/http/WinHttpClient.h"

#include <thread>

#include "platform/win32/http/BasicCredentials.h"
#include "platform/win32/http/SocketErrors.h"
#include "platform/win32/http/TransferChannel.h"
#include "platform/win32/http/WinHttpRequest.h"

namespace kanvel::platform::win32 {
namespace {

constexpr const wchar_t* UserAgent = L"Kanvel-Installer/7.0";

WinHttpHandle OpenSession(std::chrono::milliseconds connectTimeout, std::chrono::milliseconds receiveTimeout) {
    WinHttpHandle session(WinHttpOpen(UserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                      WINHTTP_NO_PROXY_BYPASS, 0));
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
      stallWindow_(stallWindow),
      minimumBytes_(minimumBytes) {}

services::DeclaredBody WinHttpClient::Get(const std::wstring& url, services::ByteSink& body) {
    // The worker owns its request and this channel; the session lives as long
    // as the last of them. This thread only waits, answers its window and
    // writes the body.
    auto channel = std::make_shared<TransferChannel>();
    std::thread worker([session = session_, channel, url, headers = RequestHeaders(),
                        stall = StallRule{stallWindow_, minimumBytes_}] {
        RunBlockingGet(session->get(), url, headers, stall, *channel);
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

std::wstring WinHttpClient::RequestHeaders() const {
    // Sent up front, not in answer to a 401 challenge, so one request is enough.
    return BasicAuthentication ? BasicAuthorizationHeader(Username, Password) : std::wstring();
}

}  // namespace kanvel::platform::win32
