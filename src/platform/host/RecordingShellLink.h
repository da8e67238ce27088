#pragma once

#include <filesystem>
#include <string>

#include "platform/host/HostFileSystem.h"
#include "services/shortcuts/ShellLink.h"

namespace kanvel::platform::host {

// The link object of the test platform: Save writes the calls it received,
// one "Name=value" line each, into the link file (when its folder exists).
class RecordingShellLink : public services::ShellLink {
public:
    explicit RecordingShellLink(const HostFileSystem& files) : files_(files) {}

    void SetPath(const std::wstring& path) override { record(L"Path", path); }
    void SetWorkingDirectory(const std::wstring& directory) override { record(L"WorkingDirectory", directory); }
    void SetArguments(const std::wstring& arguments) override { record(L"Arguments", arguments); }
    void SetDescription(const std::wstring& description) override { record(L"Description", description); }
    void SetShowCmd(int showCommand) override { record(L"ShowCmd", std::to_wstring(showCommand)); }
    void SetIconLocation(const std::wstring& path, int index) override {
        record(L"IconLocation", path + L"," + std::to_wstring(index));
    }
    void SetHotkey(std::uint16_t hotkey) override { record(L"Hotkey", std::to_wstring(hotkey)); }
    void Save(const std::wstring& linkFile) override;

private:
    void record(const wchar_t* name, const std::wstring& value) { calls_ += std::wstring(name) + L"=" + value + L"\n"; }

    const HostFileSystem& files_;
    std::wstring calls_;
};

}  // namespace kanvel::platform::host
