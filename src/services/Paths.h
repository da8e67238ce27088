#pragma once

#include <string>

namespace kanvel::services {

// The folder part of a path: everything before the last "\"; a drive root
// such as C:\ keeps its "\".
std::wstring FolderOf(const std::wstring& path);

// Upper-cases the letters a-z only, leaving every other character alone.
std::wstring UpperCaseAscii(std::wstring text);

}  // namespace kanvel::services
