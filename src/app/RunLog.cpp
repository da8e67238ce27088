#include "app/RunLog.h"

#include "services/installer/InstallerError.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kDefaultName = L"Kanvel-Instalator.log";

std::wstring Padded(int value, int width) {
    std::wstring digits = std::to_wstring(value);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<std::size_t>(width) - digits.size(), L'0');
    return digits;
}

std::wstring OneLine(std::wstring text) {
    for (auto& c : text)
        if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
    return text;
}
}  // namespace

RunLog::RunLog(services::PlatformRoles<services::FileSystem, services::Clock> platform, std::wstring path)
    : files_(platform.get<services::FileSystem>()), clock_(platform.get<services::Clock>()), path_(std::move(path)) {}

std::wstring RunLog::DefaultPath(services::FileSystem& files) {
    return services::JoinPath(files.TemporaryFolder(), kDefaultName);
}

bool RunLog::Open() {
    if (path_.empty()) return true;
    try {
        files_.AppendUnicodeText(path_, std::wstring());
        return true;
    } catch (const services::InputOutputError&) {
        return false;
    }
}

void RunLog::Write(const std::wstring& title, const std::wstring& text) {
    if (path_.empty()) return;
    try {
        files_.AppendUnicodeText(path_, FormatLine(clock_.Now(), title, text));
    } catch (const services::InputOutputError&) {
        // Nowhere left to tell; the run goes on and its exit code reports the outcome.
    }
}

std::wstring RunLog::FormatLine(const services::LocalTime& when, const std::wstring& title, const std::wstring& text) {
    return Padded(when.year, 4) + L'-' + Padded(when.month, 2) + L'-' + Padded(when.day, 2) + L' ' + Padded(when.hour, 2) +
           L':' + Padded(when.minute, 2) + L':' + Padded(when.second, 2) + L'.' + Padded(when.millisecond, 3) + L" [" +
           OneLine(title) + L"] " + OneLine(text) + L"\r\n";
}

}  // namespace kanvel::app
