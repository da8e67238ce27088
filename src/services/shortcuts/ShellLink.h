#pragma once

#include <cstdint>
#include <string>

namespace kanvel::services {

// The shell's link object: the properties of one shortcut file, then Save.
// Results of the calls are not reported; a failed save leaves no file.
class ShellLink {
public:
    virtual ~ShellLink() = default;
    virtual void SetPath(const std::wstring& path) = 0;
    virtual void SetWorkingDirectory(const std::wstring& directory) = 0;
    virtual void SetArguments(const std::wstring& arguments) = 0;
    virtual void SetDescription(const std::wstring& description) = 0;
    virtual void SetShowCmd(int showCommand) = 0;
    virtual void SetIconLocation(const std::wstring& path, int index) = 0;
    virtual void SetHotkey(std::uint16_t hotkey) = 0;
    virtual void Save(const std::wstring& linkFile) = 0;
};

}  // namespace kanvel::services
