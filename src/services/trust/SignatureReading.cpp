#include "services/trust/SignatureReading.h"

#include <future>

namespace kanvel::services {

FileSignature SignatureReading::Read(const std::function<FileSignature()>& read) const {
    // The future of std::async waits for its thread when it goes, whichever
    // way this function is left: the reading never outlives its file.
    std::future<FileSignature> reading = std::async(std::launch::async, read);
    while (reading.wait_for(kGlance) != std::future_status::ready)
        if (whileWaiting_) whileWaiting_();
    return reading.get();
}

}  // namespace kanvel::services
