#include "pages/notice/TFormInUse.h"

#include "pages/notice/NoticeStyle.h"

namespace kanvel::notice {

namespace {
constexpr int kFontHeight = 15;
constexpr int kRowHeight = 22;
constexpr int kFilesTop = 40;
constexpr const wchar_t* kHeldBy = L" – ";
constexpr const wchar_t* kProgramSeparator = L", ";
constexpr const wchar_t* kMoreFiles = L"… oraz innych plików: ";
}  // namespace

TFormInUse::TFormInUse(ui::Application& application, const ui::Form& owner,
                       const std::vector<services::FileInUse>& inUse)
    : ui::Form(application, L"FormInUse"), owner_(owner) {
    setCaption(kInUseTitle);
    StyleNoticeWindow(*this, Panel0, kFrame, kDesignedClientWidth, kDesignedClientHeight);

    LabelTitle.setCaption(kInUseHeading);
    LabelTitle.setFont(NoticeFont(kFontHeight, true));
    LabelTitle.setAlignment(ui::TextAlignment::Center);
    LabelTitle.setBounds({4, 10, kDesignedClientWidth - 8, kRowHeight});
    LabelFiles.setCaption(DescribeFiles(inUse));
    LabelFiles.setFont(NoticeFont(kFontHeight));
    LabelFiles.setAutoSize(false);
    LabelFiles.setWordWrap(true);
    LabelFiles.setBounds({16, kFilesTop, kDesignedClientWidth - 32, kDesignedClientHeight - kFilesTop - 52});

    BRetry.setCaption(kInUseRetryCaption);
    BRetry.OnClick = [this] { retry_ = true; };
    BCancel.setCaption(kInUseCancelCaption);
    PlaceDialogButtons(*this, BRetry, BCancel, kDesignedClientWidth, kDesignedClientHeight, kFontHeight);
    OnShow = [this] { FormShow(); };
}

std::wstring TFormInUse::DescribeFile(const services::FileInUse& inUse) {
    std::wstring text = inUse.file;
    for (std::size_t i = 0; i < inUse.programs.size(); ++i)
        text += (i == 0 ? kHeldBy : kProgramSeparator) + inUse.programs[i];
    return text;
}

std::wstring TFormInUse::DescribeFiles(const std::vector<services::FileInUse>& inUse) {
    std::wstring text;
    for (std::size_t i = 0; i < inUse.size() && i < kMostFilesShown; ++i)
        text += (text.empty() ? L"" : L"\n") + DescribeFile(inUse[i]);
    if (inUse.size() > kMostFilesShown)
        text += L"\n" + (kMoreFiles + std::to_wstring(inUse.size() - kMostFilesShown));
    return text;
}

void TFormInUse::FormShow() {
    // Centred on the main window, at its pixel density, as the notices are.
    CentreOnOwner(*this, owner_);
    BRetry.setFocus();
}

}  // namespace kanvel::notice
