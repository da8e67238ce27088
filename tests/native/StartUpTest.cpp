#include "InstallerHarness.h"

namespace kanvel::testing {
namespace {

class StartUpTest : public InstallerTest {};

TEST_F(StartUpTest, ContextHoldsEveryStartValue) {
    StartUp();
    const auto& c = context();
    EXPECT_EQ(c.installerDir, L"C:\\Instal");
    EXPECT_EQ(c.editionName, L"Edytor");
    EXPECT_EQ(c.programBaseName, L"Edytor");
    EXPECT_EQ(c.engineSubfolder, L"Sterowniki\\BDE");
    EXPECT_EQ(c.versionText, L"7.0");
    EXPECT_EQ(c.shortcutSuffix, L" 7.lnk");
    EXPECT_EQ(c.shortcutSuffix.size(), 6u);
    EXPECT_EQ(c.desktopDir, platform.desktopPath);
    EXPECT_EQ(c.programsDir, platform.programsPath);
    EXPECT_EQ(c.installBase, L"C:");
    // Computed while the install form did not exist yet, and not touched
    // by the install form's set-up.
    EXPECT_EQ(c.installDir, L"\\OR-Vel\\");
}

TEST_F(StartUpTest, InstallerAtDriveRootKeepsItsSeparator) {
    platform.executablePath = L"D:\\Instalator.exe";
    StartUp();
    EXPECT_EQ(context().installerDir, L"D:\\");
}

TEST_F(StartUpTest, MainWindowIsTheShapedLicenceWindow) {
    StartUp();
    auto& m = main();
    EXPECT_EQ(m.caption(), L"Warunki licencji");
    EXPECT_EQ(m.clientWidth(), 730);
    EXPECT_EQ(m.clientHeight(), 360);
    EXPECT_EQ(m.position(), ui::FormPosition::ScreenCenter);
    EXPECT_EQ(m.regionEllipseWidth(), 40);
    EXPECT_EQ(m.regionEllipseHeight(), 40);
    EXPECT_EQ(m.LabelInfo.caption(), L"Warunki licencji");
    EXPECT_TRUE(m.LabelHttp.visible());
    EXPECT_TRUE(m.Image6.picture().empty());
    EXPECT_EQ(m.ListBox1.count(), 0);
    EXPECT_TRUE(m.Timer1.enabled());
    EXPECT_EQ(m.Timer1.interval(), 100);
    EXPECT_FALSE(m.RGAkceptacja.enabled());
    EXPECT_EQ(m.BitBtn1.caption(), L"Zamknij");
    EXPECT_EQ(m.BitBtn1.effectiveHint(), L"Koniec pracy Instalatora.");
}

TEST_F(StartUpTest, InstallPanelMovesIntoTheMainWindowHidden) {
    StartUp();
    EXPECT_EQ(panel().PanelInstalacji.parent(), &main());
    EXPECT_FALSE(panel().PanelInstalacji.visible());
    EXPECT_FALSE(panel().visible());
    EXPECT_EQ(panel().Edit1.text(), L"C:");
}

TEST_F(StartUpTest, CloseButtonsCloseTheMainWindow) {
    StartUp();
    main().BitBtn1.click();
    EXPECT_TRUE(main().closed());

    StartUp();
    panel().BBClose.click();
    EXPECT_TRUE(main().closed());
}

TEST_F(StartUpTest, LeftButtonOnTheBackgroundDragsTheWindowOtherButtonsDoNot) {
    StartUp();
    for (ui::Control* surface : std::initializer_list<ui::Control*>{
             &main(), &main().PanelKoniec, &main().PanelLic, &main().GroupBox1, &main().GroupBox2,
             &main().GroupBox3, &main().Image9, &main().LabelInfo}) {
        log.clear();
        surface->mouseDown(ui::MouseButton::Right, {5, 5});
        EXPECT_TRUE(log.withPrefix(L"drag").empty()) << surface->name();
        surface->mouseDown(ui::MouseButton::Left, {5, 5});
        EXPECT_EQ(log.withPrefix(L"drag"), std::vector<std::wstring>{L"drag FormMain"}) << surface->name();
    }
}

TEST_F(StartUpTest, ProducerLinksOpenTheWebPage) {
    StartUp();
    main().LabelWWW.click();
    main().Image1.click();
    const auto opened = log.withPrefix(L"shell ");
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], L"shell open|http://www.velmarin.example/||");
    EXPECT_EQ(opened[0], opened[1]);
}

}  // namespace
}  // namespace kanvel::testing
