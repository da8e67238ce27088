#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kanvel::services {

// A file opened for reading from its start. Others may read it meanwhile but
// not change it. Failures throw InputOutputError.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    virtual std::uint64_t Size() = 0;
    // Reads up to size bytes into the buffer; 0 at the end of the file.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
    // True when what was opened is a link itself (a symbolic link, junction
    // or other reparse point, opened by FileSystem::OpenEntryForReading), whose
    // bytes are not a file's.
    virtual bool IsLink() = 0;
    // Where the opened entry really lies, named as FileSystem::RealPath names
    // a path; nothing when the system cannot tell.
    virtual std::optional<std::wstring> RealPath() = 0;
};


}  // namespace kanvel::services
