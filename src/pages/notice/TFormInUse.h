#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "services/system/FileInUse.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Panel.h"

namespace kanvel::notice {

// The window's title and heading, and the captions of its buttons.
inline constexpr const wchar_t* kInUseTitle = L"Pliki w użyciu";
inline constexpr const wchar_t* kInUseHeading = L"Zamknij programy, które używają plików instalacji:";
inline constexpr const wchar_t* kInUseRetryCaption = L"Ponów";
inline constexpr const wchar_t* kInUseCancelCaption = L"Anuluj";

// Names the files that other programs hold (the first few, and how many more), each with the programs that
// hold it (or the file alone when the system cannot say which program):
// a small rounded modal window in the notices' style, centred on its owner,
// with "Ponów" (look again) and "Anuluj" (give up). Enter is "Ponów",
// Escape "Anuluj".
class TFormInUse : public ui::Form {
public:
    static constexpr int kDesignedClientWidth = 460;
    static constexpr int kDesignedClientHeight = 200;
    static constexpr int kFrame = 3;

    TFormInUse(ui::Application& application, const ui::Form& owner, const std::vector<services::FileInUse>& inUse);

    ui::Panel Panel0{L"Panel0", this};
    ui::Label LabelTitle{L"LabelTitle", &Panel0};
    ui::Label LabelFiles{L"LabelFiles", &Panel0};
    ui::Button BRetry{L"BRetry", &Panel0};
    ui::Button BCancel{L"BCancel", &Panel0};

    // True once the user closed the window with "Ponów".
    bool retry() const { return retry_; }

    // The file, then the programs that hold it.
    static std::wstring DescribeFile(const services::FileInUse& inUse);
    // A line per file, at most kMostFilesShown of them, then how many more there are.
    static std::wstring DescribeFiles(const std::vector<services::FileInUse>& inUse);
    static constexpr std::size_t kMostFilesShown = 4;

private:
    void FormShow();

    const ui::Form& owner_;
    bool retry_ = false;
};

}  // namespace kanvel::notice
