#pragma once

#include <cstddef>
#include <cstdint>

#include "services/http/HttpClient.h"

namespace kanvel::services {

// Passes a body on and counts it.
class CountingSink : public ByteSink {
public:
    explicit CountingSink(ByteSink& inner) : inner_(inner) {}
    void Begin(const DeclaredBody& declared) override { inner_.Begin(declared); }
    void Write(const std::uint8_t* data, std::size_t size) override {
        inner_.Write(data, size);
        total_ += static_cast<std::int64_t>(size);
    }
    std::int64_t total() const { return total_; }

private:
    ByteSink& inner_;
    std::int64_t total_ = 0;
};

}  // namespace kanvel::services
