#pragma once

#include <filesystem>
#include <string>

#include "CheckList.h"

namespace kanvel::tests {

// The client against the local nginx mirror: programs behind Basic
// authentication, the engine installer and the tables open to all, each body
// compared with its file in mirrorRoot. mirrorUrl is "scheme://host:PORT".
void RunMirrorTests(CheckList& checks, const std::wstring& mirrorUrl, const std::filesystem::path& mirrorRoot);

}  // namespace kanvel::tests
