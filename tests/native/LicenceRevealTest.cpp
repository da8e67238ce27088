#include "InstallerHarness.h"
#include "pages/licence/LicenceText.h"

namespace kanvel::testing {
namespace {

class LicenceRevealTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUp();
        main().boundsChangedByPeer({200, 100, 730, 360});
        main().ListBox1.attachPeer(std::make_unique<LoggingPeer>(main().ListBox1, log));
        main().RGAkceptacja.attachPeer(std::make_unique<LoggingPeer>(main().RGAkceptacja, log));
        main().attachPeer(std::make_unique<LoggingPeer>(main(), log));
        log.clear();
    }
    // The entries of the reveal itself: the glides' moves, pauses and pumps left out.
    std::vector<std::wstring> revealSteps() const {
        std::vector<std::wstring> steps;
        for (const auto& e : log.entries())
            if (e.rfind(L"cursor", 0) != 0 && e != L"pump" && e != L"sleep 20") steps.push_back(e);
        return steps;
    }
};

TEST_F(LicenceRevealTest, TypesTheTitleThenAddsLinesWithTheirPausesAndSettles) {
    platform.cursor = {250, 172};  // already where the first glide goes: no glide steps
    const std::vector<std::wstring_view> table{L"AB", L"x1", L"", L"x2"};
    main().RevealLicence(table);
    const std::vector<std::wstring> expected{
        L"ListBox1 items 0", L"ListBox1 items 1 ",                                    // emptied, title item
        L"ListBox1 items 1 A", L"sleep 10", L"ListBox1 repaint",                       // typed...
        L"ListBox1 items 1 AB", L"sleep 10", L"ListBox1 repaint", L"sleep 50",         // ...one by one
        L"ListBox1 items 2 x1", L"ListBox1 repaint", L"sleep 50",                      // the empty line: nothing
        L"ListBox1 items 3 x2", L"ListBox1 repaint", L"sleep 50",
        L"sleep 100", L"ListBox1 top 0", L"ListBox1 select -1", L"focus ListBox1", L"ListBox1 select -1",
        L"sleep 100"};
    auto steps = revealSteps();
    ASSERT_GE(steps.size(), expected.size() + 1);
    EXPECT_EQ(std::vector<std::wstring>(steps.begin(), steps.begin() + static_cast<long>(expected.size())), expected);
    // The second glide's pauses come next, then the choice is enabled.
    EXPECT_EQ(steps.back(), L"RGAkceptacja enabled");
}

TEST_F(LicenceRevealTest, OnlyTheFirstFourteenShownLinesPauseAndEmptyStringsDoNotCount) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < 20; ++i) lines.push_back(L"L" + std::to_wstring(i));
    std::vector<std::wstring_view> table(lines.begin(), lines.end());
    table.insert(table.begin() + 5, L"");
    main().RevealLicence(table);
    const auto steps = revealSteps();
    EXPECT_EQ(log.withPrefix(L"sleep 50").size(), 14u);
    // The 14th shown line is L13 (table index 14): the last one followed by a pause.
    const auto l13 = std::find(steps.begin(), steps.end(), L"ListBox1 items 14 L13");
    const auto l14 = std::find(steps.begin(), steps.end(), L"ListBox1 items 15 L14");
    ASSERT_NE(l13, steps.end());
    ASSERT_NE(l14, steps.end());
    EXPECT_EQ(*(l13 + 2), L"sleep 50");
    EXPECT_EQ(*(l14 + 2), L"ListBox1 items 16 L15");
    EXPECT_EQ(main().ListBox1.count(), 20);
}

TEST_F(LicenceRevealTest, TimerRevealsTheWholeAgreementOnceAndLeavesTheChoiceReady) {
    platform.cursor = {0, 0};
    main().Timer1.fire();
    EXPECT_FALSE(main().Timer1.enabled());
    const auto& list = main().ListBox1;
    ASSERT_EQ(list.count(), licence::kLicenceLineCount);
    EXPECT_EQ(list.items()[0], L"UMOWA LICENCYJNA NA OPROGRAMOWANIE");
    EXPECT_EQ(list.topIndex(), 0);
    EXPECT_EQ(list.itemIndex(), -1);
    EXPECT_EQ(main().activeControl(), &main().ListBox1);
    EXPECT_TRUE(main().RGAkceptacja.enabled());
    // First into the list, then onto "Akceptuję" (window at 200,100, no frame).
    const auto moves = log.withPrefix(L"cursor");
    EXPECT_NE(std::find(moves.begin(), moves.end(), L"cursor 250,172"), moves.end());
    EXPECT_EQ(platform.cursor, (ui::Point{200 + 8 + 30, 100 + 32 + 246 + 37}));
    // 34 title characters at 10 ms; 14 lines at 50 ms; twice 100 ms.
    EXPECT_EQ(log.withPrefix(L"sleep 50").size(), 14u);
    EXPECT_EQ(log.withPrefix(L"sleep 100").size(), 2u);
    main().Timer1.fire();  // a stopped timer does nothing
    EXPECT_EQ(log.withPrefix(L"sleep 100").size(), 2u);
}

}  // namespace
}  // namespace kanvel::testing
