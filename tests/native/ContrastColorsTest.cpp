#include <functional>
#include <set>
#include <string>

#include "InstallerHarness.h"
#include "pages/notice/TFormQst.h"
#include "ui/ShownColors.h"

namespace kanvel::testing {
namespace {

using ui::ColorsShown;
using ui::ShownColors;

constexpr ShownColors kButtonPair{ui::colors::ButtonFace, ui::colors::ButtonText};
constexpr ShownColors kInfoPair{ui::colors::InfoBackground, ui::colors::InfoText};
constexpr ShownColors kWindowPair{ui::colors::Window, ui::colors::WindowText};

// Every control of a window, the window first.
void Walk(const ui::Control& control, const std::function<void(const ui::Control&)>& visit) {
    visit(control);
    for (const ui::Control* child : control.children()) Walk(*child, visit);
}

// The names of the controls whose colours under a contrast theme are not one
// of the system's pairs (a fixed colour left, or a face of one pair with the
// text of another).
std::set<std::wstring> NotSystemPairs(const ui::Control& window) {
    std::set<std::wstring> wrong;
    Walk(window, [&](const ui::Control& control) {
        const ShownColors shown = ColorsShown(control, true);
        if (shown != kButtonPair && shown != kInfoPair && shown != kWindowPair) wrong.insert(control.name());
    });
    return wrong;
}

class ContrastColorsTest : public InstallerTest {
protected:
    void SetUp() override { StartUp(); }
};

TEST_F(ContrastColorsTest, EveryControlOfTheMainWindowTakesASystemPair) {
    EXPECT_EQ(NotSystemPairs(main()), std::set<std::wstring>{});
}

TEST_F(ContrastColorsTest, FixedTextColoursGiveWayToTheSystemsOnTheirSurface) {
    // The navy and teal labels of the panel, the navy caption of "Instaluj",
    // the location field on its information background, the licence list.
    EXPECT_EQ(ColorsShown(panel().Label1, true), kButtonPair);
    EXPECT_EQ(ColorsShown(panel().Label4, true), kButtonPair);
    EXPECT_EQ(ColorsShown(panel().BBInstal, true), kButtonPair);
    EXPECT_EQ(ColorsShown(panel().Edit1, true), kInfoPair);
    EXPECT_EQ(ColorsShown(panel().CBBaza, true), kButtonPair);
    EXPECT_EQ(ColorsShown(main().ListBox1, true), kWindowPair);
    EXPECT_EQ(ColorsShown(main().LabelKoniec, true), kButtonPair);
}

TEST_F(ContrastColorsTest, WithoutContrastTheDesignedColoursStay) {
    EXPECT_EQ(ColorsShown(panel().Label1, false), (ShownColors{panel().Label1.color(), ui::colors::Navy}));
    EXPECT_EQ(ColorsShown(panel().BBInstal, false).text, ui::colors::Navy);
    EXPECT_EQ(ColorsShown(main().LabelKoniec, false).text, ui::colors::Maroon);
    EXPECT_EQ(ColorsShown(panel().Edit1, false), (ShownColors{ui::colors::InfoBackground, ui::colors::WindowText}));
}

TEST_F(ContrastColorsTest, ANoticesBlackTextOnItsInformationFaceTakesTheInfoPair) {
    std::set<std::wstring> wrong{L"no notice shown"};
    ShownColors line{};
    toolkit.onModal = [&](ui::Form& form) {
        auto& notice = dynamic_cast<notice::TFormQst&>(form);
        wrong = NotSystemPairs(notice);
        line = ColorsShown(notice.Label1, true);
    };
    main().RGAkceptacja.choose(0);
    panel().RGKanvel.choose(0);
    toolkit.dialogAnswers.push_back(L"c:\\or-vel\\x.exe");
    panel().SBPrzegladaj.click();
    EXPECT_EQ(wrong, std::set<std::wstring>{});
    EXPECT_EQ(line, kInfoPair);
}

}  // namespace
}  // namespace kanvel::testing
