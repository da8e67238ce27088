#include "app/SilentPlatform.h"

#include "services/installer/ProgramTitle.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kNotStarted = L"nie uruchomiono: ";
}  // namespace

SilentPlatform::SilentPlatform(services::Platform inner, RunLog& log) : inner_(inner), log_(log) {}

void SilentPlatform::ShellExecuteFile(const std::wstring&, const std::wstring& file, const std::wstring&,
                                      const std::wstring&) {
    log_.Write(kSilentRunTitle, kNotStarted + file);
}

void SilentPlatform::ShowMessageBox(const std::wstring& text, const std::wstring& title) { log_.Write(title, text); }

void SilentPlatform::ShowMessage(const std::wstring& text) {
    log_.Write(services::ProgramTitleOf(inner_.processes.ExecutablePath()), text);
}

}  // namespace kanvel::app
