#include "platform/win32/http/WinHttpTransfer.h"

#include <algorithm>

namespace kanvel::platform::win32 {

using services::TransferChannel;
using services::TransferState;

WinHttpTransfer::WinHttpTransfer(std::vector<WinHttpTransfer*>& listed, std::shared_ptr<services::RequestQueue> queue,
                                 services::GetRequest request, services::RequestQueue::Make make,
                                 services::ByteSink& body)
    : listed_(listed),
      queue_(std::move(queue)),
      request_(std::move(request)),
      wakeUp_(std::make_shared<EventWakeUp>()),
      channel_(std::make_shared<TransferChannel>(wakeUp_)),
      body_(body) {
    queue_->Add(channel_, std::move(make));
    listed_.push_back(this);
}

WinHttpTransfer::~WinHttpTransfer() {
    std::erase(listed_, this);
    // Given up or failed: its request is closed, which breaks off a call
    // blocked on a silent server where WinHTTP allows it, and its slot goes
    // to the next request at once.
    if (channel_->state() != TransferState::Ended) queue_->Cancel(channel_);
}

void WinHttpTransfer::Drain() {
    while (auto event = channel_->Take()) {
        try {
            Take(*event);
        } catch (...) {
            channel_->Fail(std::current_exception());
            return;
        }
    }
}

void WinHttpTransfer::Take(TransferChannel::Event& event) {
    switch (event.kind) {
        case TransferChannel::Event::Kind::Begin:
            declared_ = event.declared;
            body_.Begin(*declared_);
            return;
        case TransferChannel::Event::Kind::Block:
            body_.Write(event.block.data(), event.block.size());
            received_ += static_cast<std::int64_t>(event.block.size());
            return;
        case TransferChannel::Event::Kind::End:
        case TransferChannel::Event::Kind::Failed: return;
    }
}

services::DeclaredBody WinHttpTransfer::Result() const {
    if (const auto failure = channel_->failure()) std::rethrow_exception(failure);
    return declared_.value_or(services::DeclaredBody{});
}

}  // namespace kanvel::platform::win32
