#include "InstallerHarness.h"
#include "platform/host/Encoding.h"
#include "services/installer/InstallerError.h"
#include "pages/notice/MessageLog.h"
#include "pages/notice/Notices.h"
#include "pages/notice/TFormQst.h"

namespace kanvel::testing {
namespace {

class NoticeTest : public InstallerTest {
protected:
    struct Seen {
        ui::Rect bounds;
        int buttonTop = 0;
        int label1Height = 0;
        std::wstring caption, line1, line2, button;
        int buttonLeft = 0;
        bool isDefault = false, isCancel = false, focused = false;
        int regionW = 0, regionH = 0;
    };
    std::vector<Seen> seen;

    void SetUp() override {
        StartUp();
        main().boundsChangedByPeer({101, 203, 730, 360});
        toolkit.onModal = [this](ui::Form& form) {
            auto& dialog = dynamic_cast<notice::TFormQst&>(form);
            seen.push_back({dialog.bounds(), dialog.B1.top(), dialog.Label1.height(), dialog.caption(),
                            dialog.Label1.caption(), dialog.Label2.caption(), dialog.B1.caption(), dialog.B1.left(),
                            dialog.B1.isDefault(), dialog.B1.isCancel(), dialog.activeControl() == &dialog.B1,
                            dialog.regionEllipseWidth(), dialog.regionEllipseHeight()});
            dialog.B1.click();
        };
    }
};

TEST_F(NoticeTest, OneLineNoticeIsLaidOutFromItsDesignedSizeAndClosedByItsButton) {
    installer->notices().ShowShortNotice(L"Tekst", L"Uwaga!");
    ASSERT_EQ(seen.size(), 1u);
    const auto& s = seen[0];
    // Designed outer size 471 x 114: centred on the main window, 15 px lower.
    EXPECT_EQ(s.bounds, (ui::Rect{101 + (730 - 471) / 2, 203 + (360 - 114) / 2 + 15, 471, 17 + 20 + 5 + 20 + 27 + 20}));
    EXPECT_EQ(s.buttonTop, s.bounds.height - 40);
    EXPECT_EQ(s.caption, L"Uwaga!");
    EXPECT_EQ(s.line1, L"Tekst");
    EXPECT_EQ(s.line2, L"");
    EXPECT_EQ(s.button, L"&Ok");
    EXPECT_EQ(s.buttonLeft, 190);
    EXPECT_TRUE(s.isDefault && s.isCancel && s.focused);
    EXPECT_EQ(s.regionW, 20);
    EXPECT_EQ(s.regionH, 20);
    EXPECT_EQ(installer->notices().dialog(), nullptr);  // freed on closing
}

TEST_F(NoticeTest, WrappedFirstLineMakesTheDialogGrowDownwardWithItsButton) {
    std::wstring longLine;
    for (int i = 0; i < 26; ++i) longLine += L"słowo ";  // 156 characters: three lines of 57
    installer->notices().ShowNotice(L"T", longLine, L"drugi", false);
    installer->notices().ShowShortNotice(L"krótki", L"T");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].label1Height, 60);
    EXPECT_EQ(seen[0].bounds.height, 17 + 60 + 5 + 20 + 27 + 20);
    EXPECT_EQ(seen[0].buttonTop, seen[0].bounds.height - 40);
    // The top edge does not depend on the amount of text, and the next
    // notice starts again from a fresh dialog of the designed size.
    EXPECT_EQ(seen[0].bounds.top, seen[1].bounds.top);
    EXPECT_EQ(seen[1].bounds.height, 109);
}

TEST_F(NoticeTest, PositionDivisionsTruncateTowardZero) {
    main().boundsChangedByPeer({0, 0, 300, 101});
    installer->notices().ShowShortNotice(L"x", L"T");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].bounds.left, -85);  // (300 - 471) / 2 = -85.5
    EXPECT_EQ(seen[0].bounds.top, -6 + 15);  // (101 - 114) / 2 = -6.5
}

TEST_F(NoticeTest, NoticeAskedForWhileOneIsOpenTakesTheNewTextsAndReturnsAtOnce) {
    bool innerReturned = false;
    toolkit.onModal = [&](ui::Form& form) {
        installer->notices().ShowNotice(L"T2", L"druga", L"", false);
        innerReturned = true;
        auto& dialog = dynamic_cast<notice::TFormQst&>(form);
        EXPECT_EQ(dialog.Label1.caption(), L"druga");
        EXPECT_EQ(installer->notices().dialog(), &dialog);  // the same dialog, not a new one
    };
    installer->notices().ShowNotice(L"T1", L"pierwsza", L"", false);
    EXPECT_TRUE(innerReturned);
    EXPECT_EQ(log.withPrefix(L"modal").size(), 1u);
    EXPECT_EQ(installer->notices().dialog(), nullptr);
}

class MessageLogTest : public InstallerTest {
protected:
    void SetUp() override { StartUp(); }
    std::string logBytes(const std::wstring& folder) { return platform.files().ReadFile(folder + L"\\Komunikaty.err"); }
};

TEST_F(MessageLogTest, EntryHasFiveLinesAndATimeStampWithoutLeadingZeros) {
    EXPECT_EQ(notice::FormatLogEntry({2017, 1, 5, 9, 7, 3, 45}, L"T", L"a", L"b"),
              L"2017-1-5   9:7 : 3:45\r\nT\r\na\r\nb\r\n\r\n");
    EXPECT_EQ(notice::FormatLogEntry({2017, 12, 1, 23, 5, 0, 0}, L"T", L"a", L""),
              L"2017-12-1   23:5 : 0:0\r\nT\r\na\r\n\r\n\r\n");
}

TEST_F(MessageLogTest, FirstLoggedNoticeCreatesTheFileLaterOnesAppendInTheAnsiCodePage) {
    platform.startTime = {2017, 12, 1, 23, 5, 0, 0};
    installer->notices().ShowNotice(L"Problem zewnętrzny!", L"Niemożliwe", L"Program należy uruchomić ponownie.", true);
    platform.startTime = {2018, 2, 10, 0, 0, 9, 999};
    installer->notices().ShowNotice(L"T", L"x", L"", true);
    installer->notices().ShowShortNotice(L"not logged", L"T");
    const std::string expected = platform::host::ToAnsi(
        L"2017-12-1   23:5 : 0:0\r\nProblem zewnętrzny!\r\nNiemożliwe\r\nProgram należy uruchomić ponownie.\r\n\r\n"
        L"2018-2-10   0:0 : 9:999\r\nT\r\nx\r\n\r\n\r\n");
    EXPECT_EQ(logBytes(L"C:\\Instal"), expected);
    EXPECT_NE(expected.find("zewn\xEAtrzny"), std::string::npos);  // "ę" in windows-1250
}

TEST_F(MessageLogTest, InstallerAtADriveRootWritesNextToIt) {
    context().installerDir = L"D:\\";
    notice::AppendMessageLog(platform, context().installerDir, L"T", L"a", L"b");
    EXPECT_FALSE(logBytes(L"D:").empty());
}

TEST_F(MessageLogTest, FailureToWriteEndsTheCallerBeforeTheDialogShows) {
    context().installerDir = L"C:\\nie ma takiego folderu";
    application->guarded([&] { installer->notices().ShowNotice(L"T", L"a", L"", true); });
    EXPECT_TRUE(log.withPrefix(L"modal").empty());
    const auto errors = log.withPrefix(L"error Instalator|");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(L"I/O error"), std::wstring::npos);
}

}  // namespace
}  // namespace kanvel::testing
