#include "platform/host/HostFileSystem.h"

#include "platform/host/Encoding.h"

#include <cwctype>
#include <fstream>
#include <sstream>
#include <vector>

namespace kanvel::platform::host {

namespace fs = std::filesystem;

namespace {
std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return s;
}

std::vector<std::wstring> SplitComponents(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring current;
    for (wchar_t c : path) {
        if (c == L'\\' || c == L'/') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

// The entry of the folder whose name matches case-insensitively, or the name as written.
fs::path MatchEntry(const fs::path& folder, const std::wstring& name) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) {
        const std::wstring wanted = Lower(name);
        for (const auto& entry : fs::directory_iterator(folder, ec))
            if (Lower(FromUtf8(entry.path().filename().string())) == wanted) return entry.path();
    }
    return folder / ToUtf8(name);
}
}  // namespace

HostFileSystem::HostFileSystem(fs::path root) : root_(std::move(root)) {
    fs::create_directories(root_ / "C");
    fs::create_directories(root_ / "D");
}

fs::path HostFileSystem::ToHost(const std::wstring& windowsPath) const {
    std::wstring rest = windowsPath;
    std::wstring drive = L"C";
    if (rest.size() >= 2 && rest[1] == L':') {
        drive = std::wstring(1, static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(rest[0]))));
        rest = rest.substr(2);
    }
    fs::path result = root_ / ToUtf8(drive);
    for (const auto& part : SplitComponents(rest)) result = MatchEntry(result, part);
    return result;
}

std::wstring HostFileSystem::ToWindows(const fs::path& hostPath) const {
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(root_, ec);
    const fs::path relative = hostPath.lexically_relative(root);
    std::wstring windows;
    if (!relative.empty() && *relative.begin() != ".." && relative.begin()->string().size() == 1) {
        auto part = relative.begin();
        windows = FromUtf8(part->string()) + L":";
        for (++part; part != relative.end(); ++part) windows += L"\\" + FromUtf8(part->string());
        if (windows.size() == 2) windows += L"\\";
        return windows;
    }
    windows = L"Z:";
    for (const auto& part : hostPath.relative_path()) windows += L"\\" + FromUtf8(part.string());
    return windows;
}

void HostFileSystem::WriteFile(const std::wstring& windowsPath, const std::string& content) const {
    const fs::path target = ToHost(windowsPath);
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << content;
}

std::string HostFileSystem::ReadFile(const std::wstring& windowsPath) const {
    std::ifstream in(ToHost(windowsPath), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void HostFileSystem::MakeFolders(const std::wstring& windowsPath) const {
    fs::create_directories(ToHost(windowsPath));
}

}  // namespace kanvel::platform::host
