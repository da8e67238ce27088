#include "app/CommandLineRun.h"

#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "app/RunLog.h"
#include "app/UnattendedRun.h"
#include "pages/notice/MessageLog.h"
#include "services/ProgramTitle.h"
#include "services/WindowsPath.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kStarted = L"opcje: ";
constexpr const wchar_t* kBadOption = L"błędna opcja ";
constexpr const wchar_t* kExitCode = L"kod wyjścia ";

std::wstring DefaultLogPath(services::PlatformOperations& platform) {
    return services::JoinPath(services::FolderOf(platform.ExecutablePath()), notice::kMessageLogName);
}

std::wstring Joined(const std::vector<std::wstring>& arguments) {
    std::wstring text;
    for (const auto& argument : arguments) text += (text.empty() ? L"" : L" ") + argument;
    return text;
}

int Finish(RunLog& log, ExitCode code) {
    log.Write(kSilentRunTitle, kExitCode + std::to_wstring(ToInt(code)) + L": " + std::wstring(DescribeExitCode(code)));
    return ToInt(code);
}
}  // namespace

int RunFromCommandLine(services::PlatformOperations& platform, const std::vector<std::wstring>& arguments,
                       const std::function<void()>& runWindow, const services::ProgramVerification& verification) {
    if (arguments.empty()) {
        runWindow();
        return ToInt(ExitCode::Success);
    }
    const ParsedCommandLine parsed = CommandLine::Parse(arguments);
    const CommandLineOptions& options = parsed.options;
    const std::wstring title = services::ProgramTitleOf(platform.ExecutablePath());
    RunLog log(platform, options.logFile.value_or(DefaultLogPath(platform)));
    if (parsed.error) {
        const std::wstring line = kBadOption + parsed.error->argument + L": " + parsed.error->reason;
        log.Write(kSilentRunTitle, kStarted + Joined(arguments));
        log.Write(kSilentRunTitle, line);
        // Someone at the screen (no /SILENT) is told how to do it right.
        if (!options.silent) platform.ShowMessageBox(line + L"\n\n" + CommandLine::Usage(), title);
        return Finish(log, ExitCode::BadArguments);
    }
    if (options.showUsage) {
        if (options.silent)
            log.Write(title, CommandLine::Usage());
        else
            platform.ShowMessageBox(CommandLine::Usage(), title);
        return ToInt(ExitCode::Success);
    }
    log.Write(kSilentRunTitle, kStarted + Joined(arguments));
    if (!options.acceptLicence) return Finish(log, ExitCode::LicenceNotAccepted);
    return Finish(log, UnattendedRun(platform, log, options, verification).Execute());
}

}  // namespace kanvel::app
