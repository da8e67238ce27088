#pragma once

#include <string>

namespace kanvel::ui {

// The settings and the answer of an open or save dialog. The toolkit runs it
// (Application::execute) and fills in fileName when the user confirms.
struct FileDialog {
    enum class Kind { Open, Save };

    explicit FileDialog(Kind k) : kind(k) {}

    Kind kind;
    std::wstring title;
    std::wstring fileName;
    std::wstring initialDir;
    std::wstring defaultExt;
    // Pairs "description|pattern|description|pattern...", empty for none.
    std::wstring filter;
};

}  // namespace kanvel::ui
