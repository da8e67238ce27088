#include "platform/host/HostHeldProgram.h"

namespace kanvel::platform::host {

HostHeldProgram::HostHeldProgram(std::shared_ptr<std::multiset<std::filesystem::path>> heldFiles,
                                 std::filesystem::path host, std::wstring windowsPath, std::string bytes,
                                 Settings settings, EventLog& log)
    : heldFiles_(std::move(heldFiles)),
      host_(std::move(host)),
      windowsPath_(std::move(windowsPath)),
      bytes_(std::move(bytes)),
      settings_(settings),
      log_(log) {
    heldFiles_->insert(host_);
    log_.add(L"held " + windowsPath_);
}

HostHeldProgram::~HostHeldProgram() {
    heldFiles_->erase(heldFiles_->find(host_));
    log_.add(L"let go " + windowsPath_);
}

// A declined prompt starts nothing, as ShellExecuteExW's ERROR_CANCELLED
// tells on Windows.
services::HeldProgram::StartResult HostHeldProgram::Start(const std::wstring& directory, services::StartAs as) {
    if (settings_.whenStarting) settings_.whenStarting(windowsPath_);
    const wchar_t* account = as == services::StartAs::SignedInUser ? L"signed-in user" : L"this account";
    const wchar_t* declined = settings_.elevationDeclined ? L"declined " : L"";
    log_.add(std::wstring(L"start ") + declined + account + L"|" + windowsPath_ + L"|" + directory);
    if (settings_.elevationDeclined) return StartResult::Declined;
    return settings_.startSucceeds ? StartResult::Started : StartResult::Failed;
}

}  // namespace kanvel::platform::host
