#pragma once

#include <cstddef>
#include <cstdint>

namespace kanvel::services {

// A file opened for reading from its start. Others may read it meanwhile but
// not change it. Failures throw InputOutputError.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    virtual std::uint64_t Size() = 0;
    // Reads up to size bytes into the buffer; 0 at the end of the file.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};


}  // namespace kanvel::services
