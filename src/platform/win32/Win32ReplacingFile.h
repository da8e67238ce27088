#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/ResourceHolders.h"

#include "services/system/Clock.h"
#include "services/system/ReplacingFile.h"

namespace kanvel::platform::win32 {

// Writes into the target's partial file (services::PartialFilePath) and
// moves it over the target on commit, so a failed or cut-off download never
// leaves a broken file where a working one was; a failed one leaves no
// partial file either. The partial file is always made new: what lies at
// its name is removed as itself first (a link as the link; one that cannot
// be held as itself stays, and the download fails), and the file is then
// created where nothing is, so nothing is ever written through a link.
// Continue opens a partial file kept earlier, when it is a plain file of its
// own (never a link), and writes after what it holds.
class Win32ReplacingFile : public services::ReplacingFile {
public:
    // The clock paces the tries of a commit that meets a brief hold.
    Win32ReplacingFile(std::wstring target, services::Clock& clock);
    ~Win32ReplacingFile() override;
    static std::unique_ptr<Win32ReplacingFile> Continue(std::wstring target, services::Clock& clock);

    void Write(const std::uint8_t* data, std::size_t size) override;
    services::FileSignature Signature() override;
    void Commit() override;
    std::int64_t Size() override;
    void Restart() override;
    void KeepPartial() override;

private:
    Win32ReplacingFile(std::wstring target, services::Clock& clock, FileHandle kept);

    [[noreturn]] void fail(DWORD error) const;
    void removeLeftover() const;

    std::wstring target_;
    services::Clock& clock_;
    std::wstring partial_;
    FileHandle file_;
    bool keep_ = false;
};

}  // namespace kanvel::platform::win32
