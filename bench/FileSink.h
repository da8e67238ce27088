#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "services/http/HttpClient.h"

namespace kanvel::bench {

// Writes a response body straight to a new file, block by block as it comes.
class FileSink : public services::ByteSink {
public:
    explicit FileSink(const std::wstring& path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void Write(const std::uint8_t* data, std::size_t size) override;

private:
    void* file_;  // the Windows file handle
};

}  // namespace kanvel::bench
