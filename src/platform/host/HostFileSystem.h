#pragma once

#include <filesystem>
#include <string>

namespace kanvel::platform::host {

// Maps Windows paths onto a folder of the test machine: drive C: (and a path
// that starts at the current drive's root, "\...") onto root/C, any other
// drive letter X: onto root/X. Names match without regard to letter case, as
// on Windows.
class HostFileSystem {
public:
    explicit HostFileSystem(std::filesystem::path root);

    const std::filesystem::path& root() const { return root_; }
    // The host path for a Windows path; existing entries are matched
    // case-insensitively, the rest is taken as written.
    std::filesystem::path ToHost(const std::wstring& windowsPath) const;
    // The Windows path for a host path: below a drive's folder that drive
    // ("C:\..."), anywhere else Z: followed by the host path, as Wine names
    // the host's files.
    std::wstring ToWindows(const std::filesystem::path& hostPath) const;

    // Test helpers: create a file (with its folders) or a folder.
    void WriteFile(const std::wstring& windowsPath, const std::string& content) const;
    std::string ReadFile(const std::wstring& windowsPath) const;
    void MakeFolders(const std::wstring& windowsPath) const;

private:
    std::filesystem::path root_;
};

}  // namespace kanvel::platform::host
