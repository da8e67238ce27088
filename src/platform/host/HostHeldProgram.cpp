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

bool HostHeldProgram::Start(const std::wstring& directory, services::StartAs as) {
    if (settings_.whenStarting) settings_.whenStarting(windowsPath_);
    const wchar_t* account = as == services::StartAs::SignedInUser ? L"signed-in user" : L"this account";
    log_.add(std::wstring(L"start ") + account + L"|" + windowsPath_ + L"|" + directory);
    return settings_.startSucceeds;
}

}  // namespace kanvel::platform::host
