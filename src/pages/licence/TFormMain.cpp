#include "pages/licence/TFormMain.h"

#include "pages/licence/CursorGlide.h"
#include "pages/licence/LicenceText.h"
#include "pages/licence/ProducerInfo.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::licence {

namespace {
constexpr const wchar_t* kVersionText = L"7.0";
constexpr const wchar_t* kStartEditionName = L"Edytor";

constexpr const wchar_t* kAccept = L"Akceptuję";
constexpr const wchar_t* kDecline = L"Nie akceptuję";
constexpr const wchar_t* kChoiceCaption = L"-";
constexpr const wchar_t* kChoiceLabel = L"Wybór:";
constexpr const wchar_t* kProducerBox = L"Producent";
constexpr const wchar_t* kContactBox = L"Kontakt";
constexpr const wchar_t* kSupportBox = L"Pomoc techniczna";
constexpr const wchar_t* kReleaseDate = L"Styczeń 2017";
constexpr const wchar_t* kHttpLabel = L"Http";
constexpr const wchar_t* kClose = L"Zamknij";
constexpr const wchar_t* kCloseHint = L"Koniec pracy Instalatora.";
constexpr const wchar_t* kFinished = L"Program jest gotowy do pracy.";
constexpr const wchar_t* kWebOperation = L"open";

constexpr const wchar_t* kLicenceDeclined = L"Nie zaakceptowano warunków licencji";
constexpr const wchar_t* kChooseEdition = L"Wybierz wersję instalacji";
constexpr const wchar_t* kPackedExtension = L"._exe";
constexpr const wchar_t* kPickFileTitle = L"Wskaż plik ";
constexpr const wchar_t* kPackedDefaultExt = L"*._exe";
constexpr const wchar_t* kPackedFilter = L"*._exe|*._exe";
constexpr int kAcceptIndex = 0;
constexpr int kDeclineIndex = 1;

constexpr const wchar_t* kPictureHeader = L"HEADER";
constexpr const wchar_t* kPictureLogo = L"LOGO";
constexpr const wchar_t* kPictureFinished = L"FINISHED";
constexpr const wchar_t* kGlyphClose = L"CLOSE";

constexpr int kTimerIntervalMs = 100;
constexpr int kTitleCharacterPauseMs = 10;
constexpr int kLinePauseMs = 50;
constexpr int kPausedLineCount = 14;
constexpr int kSettlePauseMs = 100;

ui::Font FontOf(int height, ui::Color color, bool bold = false, const wchar_t* name = L"MS Sans Serif") {
    ui::Font font;
    font.name = name;
    font.height = height;
    font.color = color;
    font.bold = bold;
    return font;
}
}  // namespace

TFormMain::TFormMain(pages::PageEnvironment& environment)
    : ui::Form(environment.application, L"FormMain"), environment_(environment) {
    setCaption(kCaptionLicence);
    setClientSize(kClientWidth, kClientHeight);
    setPosition(ui::FormPosition::ScreenCenter);
    setFont(FontOf(13, ui::colors::WindowText));
    describeHeader();
    describeLicencePage();
    describeProducerBoxes();
    describeFinishedPanel();
    Timer1.setInterval(kTimerIntervalMs);
    Timer1.setEnabled(true);
    registerTimer(Timer1);
    ODFile1.defaultExt = L"*.exe";
    ODFile1.filter = L"*.exe|*.exe";
    SDFile1.initialDir = services::InstallationPaths::DefaultLocation();
    bindHandlers();
}

TFormMain::~TFormMain() = default;

void TFormMain::describeHeader() {
    Image6.setBounds({0, 30, kClientWidth, kClientHeight - 30});
    PanelInfo.setBounds({0, 0, kClientWidth, 30});
    Image9.setBounds({0, 0, kClientWidth, 30});
    Image9.setStretch(true);
    Image9.setPicture(kPictureHeader);
    LabelInfo.setBounds({31, 4, 560, 23});
    LabelInfo.setFont(FontOf(19, ui::colors::Blue));
    LabelInfo.setTransparent(true);
    LabelInfo.setCaption(kCaptionLicence);
}

void TFormMain::describeLicencePage() {
    PanelLic.setBounds({0, 32, kClientWidth, 330});
    ListBox1.setBounds({5, 9, 500, 231});
    ListBox1.setColor(ui::colors::Window);
    RGAkceptacja.setBounds({8, 246, 122, 76});
    RGAkceptacja.setCaption(kChoiceCaption);
    RGAkceptacja.setItems({kAccept, kDecline});
    RGAkceptacja.setEnabled(false);
    StaticText3.setBounds({15, 245, 42, 16});
    StaticText3.setCaption(kChoiceLabel);
    Label5.setBounds({531, 253, 120, 16});
    Label5.setCaption(kReleaseDate);
    LabelHttp.setBounds({532, 296, 40, 16});
    LabelHttp.setCaption(kHttpLabel);
    LabelHttp.setVisible(false);
    BitBtn1.setBounds({655, 295, 65, 25});
    BitBtn1.setCaption(kClose);
    BitBtn1.setGlyph(kGlyphClose);
    BitBtn1.setHint(kCloseHint);
    BitBtn1.setShowHint(true);
}

void TFormMain::describeProducerBoxes() {
    GroupBox1.setBounds({527, 9, 183, 85});
    GroupBox1.setCaption(kProducerBox);
    Image1.setBounds({36, 18, 112, 36});
    Image1.setPicture(kPictureLogo);
    Image1.setCursor(ui::CursorShape::HandPoint);
    LabelProducent.setBounds({8, 60, 170, 16});
    LabelProducent.setCaption(std::wstring(kProducerName));
    LabelProducent.setFont(FontOf(13, ui::colors::Teal, true));

    GroupBox2.setBounds({527, 103, 183, 79});
    GroupBox2.setCaption(kContactBox);
    LabelWWW.setBounds({8, 18, 170, 16});
    LabelWWW.setCaption(std::wstring(kProducerWebAddress));
    ui::Font link = FontOf(13, ui::colors::Navy);
    link.underline = true;
    LabelWWW.setFont(link);
    LabelWWW.setCursor(ui::CursorShape::HandPoint);
    LabelTel1.setBounds({8, 38, 170, 16});
    LabelTel1.setCaption(std::wstring(kProducerPhone1));
    LabelTel2.setBounds({8, 56, 170, 16});
    LabelTel2.setCaption(std::wstring(kProducerPhone2));

    GroupBox3.setBounds({527, 193, 183, 47});
    GroupBox3.setCaption(kSupportBox);
    LabelEmail.setBounds({8, 20, 170, 16});
    LabelEmail.setCaption(std::wstring(kSupportEmail));
}

void TFormMain::describeFinishedPanel() {
    PanelKoniec.setBounds({0, 32, kClientWidth, 288});
    PanelKoniec.setVisible(false);
    Image7.setBounds({218, 81, 300, 100});
    Image7.setPicture(kPictureFinished);
    LabelKoniec.setBounds({227, 199, 420, 32});
    LabelKoniec.setCaption(kFinished);
    LabelKoniec.setFont(FontOf(24, ui::colors::Maroon, false, L"Arial"));
}

void TFormMain::bindHandlers() {
    auto drag = [this](ui::MouseButton button, ui::Point) { FormMouseDown(button); };
    for (ui::Control* surface : std::initializer_list<ui::Control*>{
             this, &PanelKoniec, &PanelLic, &GroupBox1, &GroupBox2, &GroupBox3, &Image9, &LabelInfo})
        surface->OnMouseDown = drag;
    LabelWWW.OnClick = [this] { LabelWWWClick(); };
    Image1.OnClick = [this] { LabelWWWClick(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    RGAkceptacja.OnClick = [this] { RGAkceptacjaClick(); };
}

void TFormMain::FormCreate() {
    using services::InstallationPaths;
    auto& context = environment_.context;
    auto& platform = environment_.platform;
    LabelHttp.setVisible(true);
    FormIdHTTP1 = platform.http.CreateHttpClient();
    LabelInfo.setCaption(kCaptionLicence);
    context.versionText = kVersionText;
    context.shortcutSuffix = InstallationPaths::ShortcutSuffix();
    Image6.setPicture(std::wstring());
    context.editionName = kStartEditionName;
    context.programBaseName = kStartEditionName;
    context.engineSubfolder = InstallationPaths::EngineSubfolder();
    context.installerDir = services::FolderOf(platform.processes.ExecutablePath());
    context.desktopDir = platform.shell.SpecialFolderPath(InstallationPaths::DesktopFolderOf(context.scope));
    context.programsDir = platform.shell.SpecialFolderPath(InstallationPaths::ProgramsFolderOf(context.scope));
    // Computed before the install page has set the location: "\OR-Vel\".
    context.installDir = InstallationPaths::InstallFolderIn(context.installBase) + L'\\';
    setRoundedRegion(40, 40);
    ListBox1.clear();
}

void TFormMain::Timer1Timer() {
    Timer1.setEnabled(false);
    RevealLicence(LicenceLines());
}

void TFormMain::RevealLicence(std::span<const std::wstring_view> lines) {
    auto& platform = environment_.platform;
    auto& app = environment_.application;
    GlideCursor(platform, app, screenPoint({50, PanelLic.top() + 40}), kGlidePace);
    ListBox1.clear();
    int shown = 0;
    for (std::wstring_view line : lines) {
        if (line.empty()) continue;
        if (shown == 0) {
            const int item = ListBox1.add(std::wstring());
            std::wstring typed;
            for (wchar_t character : line) {
                typed += character;
                ListBox1.setItem(item, typed);
                platform.clock.Sleep(kTitleCharacterPauseMs);
                ListBox1.repaint();
            }
        } else {
            ListBox1.add(std::wstring(line));
            ListBox1.repaint();
        }
        ++shown;
        if (shown <= kPausedLineCount) platform.clock.Sleep(kLinePauseMs);
    }
    platform.clock.Sleep(kSettlePauseMs);
    ListBox1.setTopIndex(0);
    ListBox1.clearSelection();
    ListBox1.setFocus();
    ListBox1.clearSelection();
    platform.clock.Sleep(kSettlePauseMs);
    GlideCursor(platform, app,
                screenPoint({RGAkceptacja.left() + 30, PanelLic.top() + RGAkceptacja.top() + 37}),
                kGlidePace);
    RGAkceptacja.setEnabled(true);
}

void TFormMain::FormMouseDown(ui::MouseButton button) {
    if (button == ui::MouseButton::Left) application().toolkit().BeginWindowDrag(*this);
}

void TFormMain::LabelWWWClick() {
    environment_.platform.shell.ShellExecuteFile(kWebOperation, std::wstring(kProducerWebUrl), std::wstring(),
                                                 std::wstring());
}

void TFormMain::BitBtn1Click() { close(); }

void TFormMain::RGAkceptacjaClick() {
    const bool accepted = LicenceAccepted();
    LabelInfo.setCaption(RGAkceptacja.itemIndex() == kDeclineIndex ? kLicenceDeclined : kChooseEdition);
    const bool pageWasHidden = !installPage_->PageShown();
    PanelLic.hide();
    installPage_->ShowForLicenceChoice();
    if (!accepted) return;

    environment_.application.processMessages();
    installPage_->PrepareInstallFolder();
    if (pageWasHidden)
        GlideCursor(environment_.platform, environment_.application, screenPoint(installPage_->EditionChoicePoint()),
                    kGlidePace);
}

std::wstring TFormMain::LokalizacjaPliku(const std::wstring& NazwaPliku) {
    if (NazwaPliku.empty()) return std::wstring();
    const std::wstring packedName = NazwaPliku + kPackedExtension;
    ODFile1.fileName = NazwaPliku;
    // The drive of the chosen location (the install page's folder field).
    ODFile1.initialDir = environment_.context.installBase.substr(0, 2);
    ODFile1.title = kPickFileTitle + packedName;
    ODFile1.defaultExt = kPackedDefaultExt;
    ODFile1.filter = kPackedFilter;
    if (!environment_.application.execute(ODFile1)) return std::wstring();
    const std::wstring chosen = ODFile1.fileName;
    if (!services::ContainsIgnoringCase(chosen, packedName)) return std::wstring();
    return chosen;
}

void TFormMain::AdoptInstallPage(InstallPage& page, ui::Control& panel) {
    installPage_ = &page;
    panel.setParent(this);
}

bool TFormMain::LicenceAccepted() const { return RGAkceptacja.itemIndex() == kAcceptIndex; }

void TFormMain::SetStatus(const std::wstring& text) { LabelInfo.setCaption(text); }

void TFormMain::ShowFinished() {
    PanelKoniec.show();
    PanelKoniec.bringToFront();
}

bool TFormMain::FinishedShown() const { return PanelKoniec.visible(); }

void TFormMain::LeaveFinished() {
    RGAkceptacjaClick();
    PanelKoniec.hide();
}

void TFormMain::ReturnToLicencePage() {
    LabelInfo.setCaption(kCaptionLicence);
    // Clearing a choice runs no click handler.
    RGAkceptacja.setItemIndex(-1);
    installPage_->LeavePage();
    PanelLic.show();
}

std::optional<std::wstring> TFormMain::PickInstallLocation(const std::wstring& title, const std::wstring& proposedName) {
    SDFile1.title = title;
    SDFile1.fileName = proposedName;
    SDFile1.filter.clear();
    if (!environment_.application.execute(SDFile1)) return std::nullopt;
    return SDFile1.fileName;
}

}  // namespace kanvel::licence
