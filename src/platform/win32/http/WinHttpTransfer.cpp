#include "platform/win32/http/WinHttpTransfer.h"

#include <algorithm>

namespace kanvel::platform::win32 {

WinHttpTransfer::WinHttpTransfer(std::vector<WinHttpTransfer*>& listed, RequestQueue& queue,
                                 services::GetRequest request, std::function<void(TransferChannel&)> make,
                                 services::ByteSink& body)
    : listed_(listed), request_(std::move(request)), channel_(std::make_shared<TransferChannel>()), body_(body) {
    queue.Add({std::move(make), channel_});
    listed_.push_back(this);
}

WinHttpTransfer::~WinHttpTransfer() {
    std::erase(listed_, this);
    // Given up or failed: its worker stops at its next step (a server that
    // has gone silent keeps it until the receive time-out).
    if (!ended_) channel_->Cancel();
}

void WinHttpTransfer::Drain() {
    if (over()) return;
    for (auto& event : channel_->TakeAll()) {
        try {
            Take(event);
        } catch (...) {
            error_ = std::current_exception();
        }
        if (over()) return;
    }
}

void WinHttpTransfer::Take(TransferChannel::Event& event) {
    switch (event.kind) {
        case TransferChannel::Event::Kind::Begin:
            begun_ = true;
            declared_ = event.declared;
            body_.Begin(declared_);
            return;
        case TransferChannel::Event::Kind::Block:
            body_.Write(event.block.data(), event.block.size());
            received_ += static_cast<std::int64_t>(event.block.size());
            return;
        case TransferChannel::Event::Kind::End:
            ended_ = true;
            return;
        case TransferChannel::Event::Kind::Failed:
            error_ = event.error;
            return;
    }
}

services::DeclaredBody WinHttpTransfer::Result() const {
    if (error_) std::rethrow_exception(error_);
    return declared_;
}

}  // namespace kanvel::platform::win32
