#include "licence/TFormMain.h"

#include "install/TFormInstal.h"
#include "licence/CursorGlide.h"
#include "licence/LicenceText.h"
#include "licence/ProducerInfo.h"
#include "services/Paths.h"
#include "services/ProgressScale.h"
#include "shell/Installer.h"
#include "shell/Notice.h"

namespace kanvel::licence {

namespace {
constexpr const wchar_t* kVersionText = L"7.0";
constexpr const wchar_t* kShortcutSuffix = L" 7.lnk";
constexpr const wchar_t* kStartEditionName = L"Edytor";
constexpr const wchar_t* kEngineSubfolder = L"Sterowniki\\BDE";
constexpr const wchar_t* kFamilyFolderWithSlashes = L"\\OR-Vel\\";

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
constexpr const wchar_t* kInstall = L"Instaluj";
constexpr const wchar_t* kInstallHint = L"Instalacja programu";
constexpr const wchar_t* kOldDefaultFolder = L"\\Velmarin\\Kanvel";
constexpr const wchar_t* kNewDefaultFolderNotice = L"Zmiana domyślnego folderu instalacji na: C:\\OR-Vel.";
constexpr const wchar_t* kPackedExtension = L"._exe";
constexpr const wchar_t* kPickFileTitle = L"Wskaż plik ";
constexpr const wchar_t* kPackedDefaultExt = L"*._exe";
constexpr const wchar_t* kPackedFilter = L"*._exe|*._exe";
constexpr int kProgressMaxWithoutSize = 100;
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

TFormMain::TFormMain(shell::Installer& installer) : ui::Form(installer.application, L"FormMain"), installer_(installer) {
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
    auto& context = installer_.context;
    auto& platform = installer_.platform;
    LabelHttp.setVisible(true);
    FormIdHTTP1 = platform.CreateHttpClient();
    FormIdHTTP1->OnWork = [this](auto& sender, auto mode, std::int64_t done) { FormIdHTTP1Work(sender, mode, done); };
    FormIdHTTP1->OnWorkBegin = [this](auto& sender, auto mode, std::int64_t expected) {
        FormIdHTTP1WorkBegin(sender, mode, expected);
    };
    FormIdHTTP1->OnWorkEnd = [this](auto& sender, auto mode) { FormIdHTTP1WorkEnd(sender, mode); };
    LabelInfo.setCaption(kCaptionLicence);
    context.versionText = kVersionText;
    context.shortcutSuffix = kShortcutSuffix;
    Image6.setPicture(std::wstring());
    context.editionName = kStartEditionName;
    context.programBaseName = kStartEditionName;
    context.engineSubfolder = kEngineSubfolder;
    context.installerDir = services::FolderOf(platform.ExecutablePath());
    context.desktopDir = platform.SpecialFolderPath(services::kFolderDesktop);
    context.programsDir = platform.SpecialFolderPath(services::kFolderPrograms);
    context.installDir = context.installBase + kFamilyFolderWithSlashes;
    setRoundedRegion(40, 40);
    ListBox1.clear();
}

void TFormMain::Timer1Timer() {
    Timer1.setEnabled(false);
    RevealLicence(LicenceLines());
}

void TFormMain::RevealLicence(std::span<const std::wstring_view> lines) {
    auto& platform = installer_.platform;
    auto& app = installer_.application;
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
                platform.Sleep(kTitleCharacterPauseMs);
                ListBox1.repaint();
            }
        } else {
            ListBox1.add(std::wstring(line));
            ListBox1.repaint();
        }
        ++shown;
        if (shown <= kPausedLineCount) platform.Sleep(kLinePauseMs);
    }
    platform.Sleep(kSettlePauseMs);
    ListBox1.setTopIndex(0);
    ListBox1.clearSelection();
    ListBox1.setFocus();
    ListBox1.clearSelection();
    platform.Sleep(kSettlePauseMs);
    GlideCursor(platform, app,
                screenPoint({RGAkceptacja.left() + 30, PanelLic.top() + RGAkceptacja.top() + 37}),
                kGlidePace);
    RGAkceptacja.setEnabled(true);
}

void TFormMain::FormMouseDown(ui::MouseButton button) {
    if (button == ui::MouseButton::Left) application().toolkit().BeginWindowDrag(*this);
}

void TFormMain::LabelWWWClick() {
    installer_.platform.ShellExecuteFile(kWebOperation, std::wstring(kProducerWebUrl), std::wstring(), std::wstring());
}

void TFormMain::BitBtn1Click() { close(); }

void TFormMain::FormIdHTTP1WorkBegin(services::HttpClient&, services::WorkMode, std::int64_t expected) {
    auto& bar = installer_.FormInstal->ProgressBar1;
    progressShift_ = services::ProgressShiftFor(expected);
    bar.setMax(expected > 0 ? services::ScaledProgress(expected, progressShift_) : kProgressMaxWithoutSize);
    bar.setPosition(0);
}

void TFormMain::FormIdHTTP1Work(services::HttpClient&, services::WorkMode, std::int64_t done) {
    installer_.FormInstal->ProgressBar1.setPosition(services::ScaledProgress(done, progressShift_));
    installer_.application.processMessages();
}

void TFormMain::FormIdHTTP1WorkEnd(services::HttpClient&, services::WorkMode) {}

void TFormMain::RGAkceptacjaClick() {
    auto& panel = *installer_.FormInstal;
    auto& context = installer_.context;
    auto& platform = installer_.platform;
    const bool accepted = RGAkceptacja.itemIndex() == kAcceptIndex;
    const bool acceptedAndChosen = panel.acceptedAndChosen();

    LabelInfo.setCaption(RGAkceptacja.itemIndex() == kDeclineIndex ? kLicenceDeclined : kChooseEdition);
    const bool panelWasHidden = !panel.PanelInstalacji.visible();
    PanelLic.hide();
    panel.PanelInstalacji.show();
    for (ui::CheckBox* box : {&panel.CBSkrotPulpit, &panel.CBSkrotMenuStart}) {
        box->setChecked(true);
        box->setEnabled(accepted);
    }
    panel.Edit1.setEnabled(acceptedAndChosen);
    panel.SBPrzegladaj.setEnabled(acceptedAndChosen);
    panel.CBParadox.setEnabled(accepted);
    panel.BBParadox.setEnabled(accepted && panel.CBParadox.checked() && panel.CBParadox.enabled());
    panel.BBInstal.setCaption(kInstall);
    panel.BBInstal.setHint(kInstallHint);
    panel.BBInstal.setEnabled(acceptedAndChosen);
    if (!accepted) return;

    installer_.application.processMessages();
    if (platform.DirectoryExists(context.installBase + kOldDefaultFolder))
        shell::ShowShortNotice(installer_, kNewDefaultFolderNotice, shell::kTitleWarning);
    if (!platform.DirectoryExists(context.installDir)) {
        panel.Edit1.setText(context.installBase);
        context.installDir = panel.Edit1.text();
    }
    if (panelWasHidden)
        GlideCursor(platform, installer_.application,
                    screenPoint({panel.RGKanvel.left() + 50, panel.PanelInstalacji.top() + panel.RGKanvel.top() + 45}),
                    kGlidePace);
}

std::wstring TFormMain::LokalizacjaPliku(const std::wstring& NazwaPliku) {
    if (NazwaPliku.empty()) return std::wstring();
    const std::wstring packedName = NazwaPliku + kPackedExtension;
    ODFile1.fileName = NazwaPliku;
    ODFile1.initialDir = installer_.FormInstal->Edit1.text().substr(0, 2);
    ODFile1.title = kPickFileTitle + packedName;
    ODFile1.defaultExt = kPackedDefaultExt;
    ODFile1.filter = kPackedFilter;
    if (!installer_.application.execute(ODFile1)) return std::wstring();
    const std::wstring chosen = ODFile1.fileName;
    if (services::UpperCaseAscii(chosen).find(services::UpperCaseAscii(packedName)) == std::wstring::npos)
        return std::wstring();
    return chosen;
}

}  // namespace kanvel::licence
