#include "app/SilentPlatform.h"

#include "services/installer/ProgramTitle.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kNotStarted = L"nie uruchomiono: ";

// A program held by the real shell, which a run without a window does not
// start: the log names it instead, and that counts as done.
class UnstartedProgram : public services::HeldProgram {
public:
    UnstartedProgram(std::unique_ptr<services::HeldProgram> held, std::wstring file, RunLog& log)
        : held_(std::move(held)), file_(std::move(file)), log_(log) {}
    services::FileSignature Signature() override { return held_->Signature(); }
    bool Start(const std::wstring&, services::StartAs) override {
        log_.Write(kSilentRunTitle, kNotStarted + file_);
        return true;
    }

private:
    std::unique_ptr<services::HeldProgram> held_;
    std::wstring file_;
    RunLog& log_;
};
}  // namespace

SilentPlatform::SilentPlatform(services::Platform inner, RunLog& log) : inner_(inner), log_(log) {}

void SilentPlatform::ShellExecuteFile(const std::wstring&, const std::wstring& file, const std::wstring&,
                                      const std::wstring&) {
    log_.Write(kSilentRunTitle, kNotStarted + file);
}

std::unique_ptr<services::HeldProgram> SilentPlatform::HoldProgram(const std::wstring& file) {
    auto held = inner_.shell.HoldProgram(file);
    if (!held) return nullptr;
    return std::make_unique<UnstartedProgram>(std::move(held), file, log_);
}

void SilentPlatform::ShowMessageBox(const std::wstring& text, const std::wstring& title) { log_.Write(title, text); }

void SilentPlatform::ShowMessage(const std::wstring& text) {
    log_.Write(services::ProgramTitleOf(inner_.processes.ExecutablePath()), text);
}

}  // namespace kanvel::app
