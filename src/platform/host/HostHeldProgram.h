#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "platform/host/EventLog.h"
#include "platform/host/HostReplacingFile.h"
#include "services/system/HeldProgram.h"

namespace kanvel::platform::host {

// A program file of the temporary tree held as Windows holds a file opened
// with FILE_SHARE_READ alone: while it is in the shared set, the host
// platform refuses to write, replace or delete it. Holding, letting go and
// the start are logged ("held <file>", "let go <file>", "start ...").
class HostHeldProgram : public services::HeldProgram {
public:
    struct Settings {
        const SignatureReader& signatures;
        const std::function<void(const std::wstring&)>& whenStarting;
        bool startSucceeds;
    };
    HostHeldProgram(std::shared_ptr<std::multiset<std::filesystem::path>> heldFiles, std::filesystem::path host,
                    std::wstring windowsPath, std::string bytes, Settings settings, EventLog& log);
    ~HostHeldProgram() override;
    HostHeldProgram(const HostHeldProgram&) = delete;
    HostHeldProgram& operator=(const HostHeldProgram&) = delete;

    services::FileSignature Signature() override { return settings_.signatures(bytes_); }
    bool Start(const std::wstring& directory, services::StartAs as) override;

private:
    std::shared_ptr<std::multiset<std::filesystem::path>> heldFiles_;
    std::filesystem::path host_;
    std::wstring windowsPath_;
    // What the handle reads: the bytes the file had when it was held.
    std::string bytes_;
    Settings settings_;
    EventLog& log_;
};

}  // namespace kanvel::platform::host
