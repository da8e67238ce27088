#include "pages/install/TFormInstal.h"

#include "pages/install/LocationLengthRule.h"
#include "pages/notice/MessageLog.h"
#include "pages/notice/TFormProxy.h"
#include "services/installer/Editions.h"
#include "services/installer/InstallerError.h"
#include "services/paths/PathLimits.h"
#include "services/paths/WindowsPath.h"
#include "ui/LockScope.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kEditionGroup = L"Kanvel";
constexpr const wchar_t* kProgramFile = L"Plik programu";
constexpr const wchar_t* kFirstInstallHint = L"Przy pierwszej instalacji zaznaczyć dodatkowo:";
constexpr const wchar_t* kFirstInstallBoxes = L"(pola \u201eBaza danych 3.0-70\u201d i \u201eParadox\u201d)";
constexpr const wchar_t* kDatabaseBox = L"Baza danych 3.0 - 7.0";
constexpr const wchar_t* kEngineBox = L"Paradox (BDE)";
constexpr const wchar_t* kComponentsLabel = L"Instalacja wybranych składników oprogramowania:";
constexpr const wchar_t* kProgramButton = L"Edytor Bazy Danych";
constexpr const wchar_t* kDatabaseButton = L"Pliki bazy danych (FORMAT)";
constexpr const wchar_t* kEngineButton = L"Silnik bazy danych (BDE)";
constexpr const wchar_t* kDesktopShortcut = L"Skrót na Pulpicie";
constexpr const wchar_t* kStartMenuShortcut = L"Skrót w Menu Start";
constexpr const wchar_t* kChangeFolder = L"Zmiana folderu instalacji   >>";
constexpr const wchar_t* kBack = L"<< Wstecz";
constexpr const wchar_t* kBackHint = L"Powrót do warunków licencji";
constexpr const wchar_t* kInstallSelected = L"Instaluj zaznaczone";
constexpr const wchar_t* kRemove = L"Usunięcie instalacji";
constexpr const wchar_t* kRemoveHint = L"Ponowna instalacja nie wymaga usuwania poprzedniej wersji programu.";
constexpr const wchar_t* kClose = L"Zamknij";
constexpr const wchar_t* kCloseHint = L"Koniec pracy Instalatora.";
constexpr const wchar_t* kInfoLinePrefix = L"Instalacja programu Kanvel ";
constexpr const wchar_t* kChooseFolderTitle = L"Wskaż folder instalacji";
constexpr const wchar_t* kAlreadyFamilyFolderBefore = L"Folder:  \"";
constexpr const wchar_t* kAlreadyFamilyFolderAfter = L"\" jest już domyślnym podkatalogiem instalacji.";
constexpr const wchar_t* kLocationTooLongBefore = L"Ścieżka folderu instalacji jest za długa: najdłuższa ścieżka pliku instalacji miałaby ";
constexpr const wchar_t* kLocationTooLongMiddle = L" znaków, a ten system (bez włączonych długich ścieżek) przyjmuje najwyżej ";
constexpr const wchar_t* kLocationTooLongAfter = L". Proszę wskazać krótszy folder.";
constexpr const wchar_t* kNewDefaultFolderBefore = L"Zmiana domyślnego folderu instalacji na: ";
constexpr const wchar_t* kNewDefaultFolderAfter = L".";
constexpr const wchar_t* kInstall = L"Instaluj";
constexpr const wchar_t* kInstallHint = L"Instalacja programu";
constexpr const wchar_t* kProgramExtension = L".exe";
constexpr const wchar_t* kBrokenOff = L"Instalacja przerwana: Instalator zamknięto w czasie pobierania pliku.";
constexpr std::size_t kDriveRootLength = 3;

constexpr int kEditionColumns = 5;
constexpr int kEditionGroupWidth = 700;
// Where the cursor glides after an acceptance: onto the first edition.
constexpr ui::Point kEditionChoiceGlideOffset{50, 45};

ui::Font PanelFont(int height, ui::Color color, bool bold) {
    ui::Font font;
    font.height = height;
    font.color = color;
    font.bold = bold;
    return font;
}

void Place(ui::Control& control, ui::Rect bounds, const wchar_t* caption = nullptr) {
    control.setBounds(bounds);
    if (caption != nullptr) control.setCaption(caption);
}
}  // namespace

TFormInstal::TFormInstal(pages::PageEnvironment& environment, licence::TFormMain& main,
                         const InstallCollaborators& collaborators)
    : ui::Form(environment.application, L"FormInstal"),
      environment_(environment),
      main_(main),
      recorder_(collaborators.recorder),
      entry_(collaborators.entry),
      deferredRemoval_(collaborators.deferredRemoval),
      workingTables_(collaborators.workingTables),
      inUse_(collaborators.inUse),
      downgrade_(collaborators.downgrade) {
    setClientSize(740, 364);
    Place(PanelInstalacji, {0, 34, 740, 330});
    PanelInstalacji.setVisible(false);
    describePictures();
    describeChoices();
    describeComponentRow();
    describeFolderRow();
    describeButtonRow();
    bindHandlers();
}

TFormInstal::~TFormInstal() = default;

void TFormInstal::describePictures() {
    const wchar_t* pictures[] = {L"EDITION1", L"EDITION2", L"EDITION3", L"EDITION4"};
    ui::Image* images[] = {&Image4, &Image3, &Image5, &Image2};
    const int lefts[] = {14, 141, 268, 391};
    for (int i = 0; i < 4; ++i) {
        Place(*images[i], {lefts[i], 7, 104, 70});
        images[i]->setPicture(pictures[i]);
    }
}

void TFormInstal::describeChoices() {
    Place(RGKanvel, {14, 77, 595, 53}, kEditionGroup);
    RGKanvel.setFont(PanelFont(15, ui::colors::WindowText, false));
    const ui::Font bold = PanelFont(13, ui::colors::WindowText, true);
    Place(CBProgram, {26, 136, 115, 20}, kProgramFile);
    CBProgram.setFont(bold);
    CBProgram.setChecked(true);
    Place(Label1, {167, 139, 340, 16}, kFirstInstallHint);
    Label1.setFont(PanelFont(13, ui::colors::Navy, true));
    Place(Label2, {167, 158, 340, 16});
    Place(CBBaza, {522, 138, 181, 17}, kDatabaseBox);
    CBBaza.setFont(bold);
    Place(CBParadox, {522, 158, 181, 17}, kEngineBox);
    CBParadox.setFont(bold);
}

void TFormInstal::describeComponentRow() {
    Place(Label4, {15, 181, 360, 16}, kComponentsLabel);
    Label4.setFont(PanelFont(13, ui::colors::Teal, true));
    Place(BBProgram, {19, 203, 133, 22}, kProgramButton);
    Place(BBBaza, {156, 203, 185, 22}, kDatabaseButton);
    Place(BBParadox, {345, 203, 175, 22}, kEngineButton);
    for (ui::Button* button : {&BBProgram, &BBBaza, &BBParadox}) button->setEnabled(false);
}

void TFormInstal::describeFolderRow() {
    const ui::Font bold = PanelFont(13, ui::colors::WindowText, true);
    Place(CBSkrotPulpit, {20, 233, 153, 17}, kDesktopShortcut);
    Place(CBSkrotMenuStart, {20, 262, 153, 17}, kStartMenuShortcut);
    for (ui::CheckBox* box : {&CBSkrotPulpit, &CBSkrotMenuStart}) {
        box->setFont(bold);
        box->setChecked(true);
    }
    Place(ProgressBar1, {178, 235, 535, 13});
    Place(SBPrzegladaj, {178, 259, 187, 22}, kChangeFolder);
    SBPrzegladaj.setEnabled(false);
    Place(Edit1, {370, 257, 233, 26});
    Edit1.setCaption(services::InstallationPaths::DefaultLocation());  // the form description's text: no change event
    Edit1.setReadOnly(true);
    Edit1.setAlignment(ui::TextAlignment::Right);
    Edit1.setFlat(true);
    Edit1.setColor(ui::colors::InfoBackground);
    Edit1.setFont(PanelFont(15, ui::colors::WindowText, false));
    Edit1.setEnabled(false);
    Place(LabelFolder, {608, 259, 100, 22});
    LabelFolder.setFont(PanelFont(17, ui::colors::WindowText, false));
}

void TFormInstal::describeButtonRow() {
    Place(BBWstecz, {14, 289, 80, 30}, kBack);
    BBWstecz.setHint(kBackHint);
    Place(BBInstal, {178, 289, 187, 30}, kInstallSelected);
    BBInstal.setFont(PanelFont(16, ui::colors::Navy, true));
    BBInstal.setEnabled(false);
    Place(BBDeinstal, {370, 289, 233, 30}, kRemove);
    BBDeinstal.setHint(kRemoveHint);
    BBDeinstal.setEnabled(false);
    Place(BBClose, {634, 289, 80, 30}, kClose);
    BBClose.setHint(kCloseHint);
    BBClose.setGlyph(L"CLOSE");
    for (ui::Button* button : {&BBWstecz, &BBInstal, &BBClose}) button->setShowHint(true);
}

void TFormInstal::bindHandlers() {
    RGKanvel.OnClick = [this] { RGKanvelClick(); };
    Edit1.OnChange = [this] { Edit1Change(); };
    SBPrzegladaj.OnClick = [this] { SBPrzegladajClick(); };
    BBWstecz.OnClick = [this] { BBWsteczClick(); };
    BBClose.OnClick = [this] { BBCloseClick(); };
    BBInstal.OnClick = [this] { whileWorking(&TFormInstal::BBInstalClick); };
    BBProgram.OnClick = [this] { whileWorking(&TFormInstal::BBProgramClick, FolderCheck::SecureFirst); };
    BBBaza.OnClick = [this] { whileWorking(&TFormInstal::BBBazaClick, FolderCheck::SecureFirst); };
    CBBaza.OnClick = [this] { CBBazaClick(); };
    BBParadox.OnClick = [this] { whileWorking(&TFormInstal::BBParadoxClick, FolderCheck::SecureFirst); };
    CBParadox.OnClick = [this] { CBParadoxClick(); };
    BBDeinstal.OnClick = [this] { whileWorking(&TFormInstal::BBDeinstalClick); };
}

void TFormInstal::FormCreate() {
    auto& context = environment_.context;
    BBProgram.setTag(-1);
    std::vector<std::wstring> editionNames;
    for (const auto& edition : services::kEditions) editionNames.emplace_back(edition.name);
    RGKanvel.setItems(std::move(editionNames));
    RGKanvel.setColumns(kEditionColumns);
    RGKanvel.setWidth(kEditionGroupWidth);
    CBParadox.setCaption(kEngineBox);
    Label2.setCaption(kFirstInstallBoxes);
    RGKanvel.setItemIndex(-1);
    RGKanvel.setEnabled(true);
    context.installBase = Edit1.text();
    LabelFolder.setCaption(services::InstallationPaths::FamilyFolderLabel());
    OfferRemoval();
    main_.AdoptInstallPage(*this, PanelInstalacji);
    download_ = std::make_unique<services::ComponentDownload>(environment_.platform, main_.HttpClient(), *this,
                                                              environment_.verification);
    download_->TakeFilesFrom(environment_.source);
    download_->CheckAgainst(environment_.release);
}

bool TFormInstal::PobraniePliku(const std::wstring& serverFolder, const std::wstring& fileName,
                                const std::wstring& extension, bool authenticate, const std::wstring& targetFolder) {
    const std::wstring localName = extension.empty() ? fileName : fileName + L"." + extension;
    fetching_ = services::JoinPath(targetFolder, localName);
    const services::FetchOutcome outcome = download_->Fetch(serverFolder, fileName, extension, authenticate, targetFolder);
    recorder_.FetchEnded(fetching_, outcome);
    return outcome.stored();
}

bool TFormInstal::KeepWorking() {
    environment_.application.processMessages();
    return !main_.closed();
}

services::SignatureReading TFormInstal::signatureReading() {
    return services::SignatureReading([this] {
        if (!KeepWorking()) throw services::BrokenOff();
    });
}

void TFormInstal::whileWorking(void (TFormInstal::*handler)(), FolderCheck check) {
    const ui::LockScope lock{&RGKanvel,    &SBPrzegladaj,  &Edit1,         &CBProgram,        &CBBaza,
                             &CBParadox,   &CBSkrotPulpit, &CBSkrotMenuStart, &BBProgram,     &BBBaza,
                             &BBParadox,   &BBInstal,      &BBDeinstal,    &BBWstecz};
    try {
        if (check == FolderCheck::None || SecureInstallFolder()) (this->*handler)();
    } catch (const services::BrokenOff&) {
        noteBrokenOff();
        throw;
    }
}

// The window is closing: a message log that cannot be written (the
// installer on a DVD or a read-only share) goes without the line rather than
// stop the closing with an error box.
void TFormInstal::noteBrokenOff() {
    try {
        notice::AppendMessageLog(environment_.platform, environment_.context.installerDir, notice::kTitleWarning,
                                 kBrokenOff, fetching_);
    } catch (const services::InputOutputError&) {
    }
}

void TFormInstal::ShowReplaceNotice(const std::wstring& text) { warn(text); }

// A user name is what a proxy's sign-in needs at least: "Ok" without one is
// no answer.
std::optional<services::ProxyCredentials> TFormInstal::AskProxySignIn(const std::wstring& proxy) {
    notice::TFormProxy dialog(environment_.application, main_, proxy);
    environment_.application.realize(dialog);
    dialog.showModal();
    if (!dialog.accepted() || dialog.EditUser.text().empty()) return std::nullopt;
    return services::ProxyCredentials{dialog.EditUser.text(), dialog.EditPassword.text()};
}

void TFormInstal::warn(const std::wstring& text) {
    environment_.notices.ShowShortNotice(text, notice::kTitleWarning);
}

bool TFormInstal::InstallationFound() {
    const auto paths = environment_.paths();
    auto& platform = environment_.platform;
    return platform.files.FileExists(paths.DesktopShortcut()) || platform.files.FileExists(paths.StartMenuShortcut()) ||
           platform.files.FileExists(paths.ProgramFileIn(paths.InstalledFolder()));
}

void TFormInstal::OfferRemoval() {
    const bool found = InstallationFound();
    BBDeinstal.setEnabled(found);
    BBDeinstal.setShowHint(found);
}

PanelEnabling TFormInstal::rules() const {
    return EnablingRules({.licenceAccepted = main_.LicenceAccepted(),
                          .editionChosen = RGKanvel.itemIndex() >= 0,
                          .editionNamed = !environment_.context.editionName.empty(),
                          .engineTicked = CBParadox.checked(),
                          .engineBoxEnabled = CBParadox.enabled(),
                          .databaseTicked = CBBaza.checked(),
                          .databaseBoxEnabled = CBBaza.enabled()});
}

void TFormInstal::ShowForLicenceChoice() {
    PanelInstalacji.show();
    for (ui::CheckBox* box : {&CBSkrotPulpit, &CBSkrotMenuStart}) {
        box->setChecked(true);
        box->setEnabled(rules().shortcuts);
    }
    Edit1.setEnabled(rules().location);
    SBPrzegladaj.setEnabled(rules().location);
    CBParadox.setEnabled(rules().engineBox);
    BBParadox.setEnabled(rules().engineButton);
    BBInstal.setCaption(kInstall);
    BBInstal.setHint(kInstallHint);
    BBInstal.setEnabled(rules().install);
}

void TFormInstal::PrepareInstallFolder() {
    auto& context = environment_.context;
    auto& platform = environment_.platform;
    if (platform.files.DirectoryExists(environment_.paths().OldDefaultFolder()))
        warn(kNewDefaultFolderBefore +
             services::InstallationPaths::InstallFolderIn(services::InstallationPaths::DefaultLocation()) +
             kNewDefaultFolderAfter);
    if (!platform.files.DirectoryExists(context.installDir)) {
        Edit1.setText(context.installBase);
        context.installDir = Edit1.text();
    }
}

void TFormInstal::LeavePage() {
    // Clearing a choice runs no click handler.
    RGKanvel.setItemIndex(-1);
    PanelInstalacji.hide();
}

ui::Point TFormInstal::EditionChoicePoint() const {
    return {RGKanvel.left() + kEditionChoiceGlideOffset.x,
            PanelInstalacji.top() + RGKanvel.top() + kEditionChoiceGlideOffset.y};
}

void TFormInstal::RGKanvelClick() {
    auto& context = environment_.context;
    if (const auto edition = services::EditionAt(RGKanvel.itemIndex())) {
        context.editionName = edition->name;
        context.programBaseName = edition->programBaseName;
    }
    Edit1.setEnabled(rules().location);
    SBPrzegladaj.setEnabled(rules().location);
    OfferRemoval();
    main_.SetStatus(kInfoLinePrefix + context.editionName + L" " + context.versionText);
    BBProgram.setEnabled(rules().programButton);
    BBInstal.setEnabled(BBProgram.enabled());
    if (BBInstal.showing() && BBInstal.enabled()) main_.setActiveControl(&BBInstal);
}

void TFormInstal::Edit1Change() {
    auto& context = environment_.context;
    context.installBase = Edit1.text();
    context.installDir = services::InstallationPaths::InstallFolderIn(context.installBase);
    LabelFolder.setCaption(services::InstallationPaths::FamilyFolderLabel());
}

void TFormInstal::SBPrzegladajClick() {
    const auto picked = main_.PickInstallLocation(kChooseFolderTitle, environment_.context.programBaseName + kProgramExtension);
    if (picked) ChooseLocation(services::FolderOf(*picked));
}

FolderChoice TFormInstal::ChooseLocation(const std::wstring& folder) {
    const bool refused = !Acceptable(folder);
    if (!refused) Edit1.setText(folder);

    const std::wstring text = Edit1.text();
    if (!text.empty())
        Edit1.setText(services::UpperCaseAscii(text.substr(0, 1)) + text.substr(1, services::kMaxRestOfLocation));
    if (Edit1.text().size() == kDriveRootLength) Edit1.setText(Edit1.text().substr(0, 2));
    // A location equal to the field's text changes nothing on the field, yet
    // the install folder must follow it: the start value "\OR-Vel\" names
    // no drive.
    if (!refused) Edit1Change();
    return refused ? FolderChoice::Refused : FolderChoice::Chosen;
}

// A folder inside the family folder, or one too long for the files below
// it, is refused with a notice saying why.
bool TFormInstal::Acceptable(const std::wstring& folder) {
    if (services::InstallationPaths::NamesFamilyFolder(folder)) {
        warn(kAlreadyFamilyFolderBefore + services::InstallationPaths::FamilyFolderName() + kAlreadyFamilyFolderAfter);
        return false;
    }
    if (!LocationLengthRule(environment_.platform.registry).Fits(folder, environment_.context)) {
        warn(kLocationTooLongBefore +
             std::to_wstring(LocationLengthRule::DeepestFileLength(folder, environment_.context)) +
             kLocationTooLongMiddle + std::to_wstring(services::kMaxPathWithoutLongPaths) + kLocationTooLongAfter);
        return false;
    }
    return true;
}

void TFormInstal::BBWsteczClick() {
    if (main_.FinishedShown()) {
        main_.LeaveFinished();
        return;
    }
    main_.ReturnToLicencePage();
    SBPrzegladaj.setDown(false);
}

void TFormInstal::makeFolderIfMissing(const std::wstring& folder) {
    if (!environment_.platform.files.DirectoryExists(folder)) environment_.platform.files.MakeDirectory(folder);
}

void TFormInstal::BBCloseClick() { main_.close(); }

}  // namespace kanvel::install
