#pragma once

#include <memory>

#include "pages/PageEnvironment.h"
#include "pages/install/InstallCollaborators.h"
#include "pages/install/PanelEnabling.h"
#include "pages/licence/InstallPage.h"
#include "pages/licence/TFormMain.h"
#include "services/download/ComponentDownload.h"
#include "services/download/DownloadView.h"
#include "services/shortcuts/ShortcutWriter.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/ProgressBar.h"
#include "ui/RadioGroup.h"

namespace kanvel::install {

// How a folder choice ended.
enum class FolderChoice { Chosen, Refused };

// The install form. It is never shown itself: its panel is moved into the
// main window at start-up and serves as the installer's second page. It is
// the view of every download (status line through the main window, its own
// progress bar).
class TFormInstal : public ui::Form, public licence::InstallPage, public services::DownloadView {
public:
    TFormInstal(pages::PageEnvironment& environment, licence::TFormMain& main, const InstallCollaborators& collaborators);
    ~TFormInstal() override;

    ui::Panel PanelInstalacji{L"PanelInstalacji", this};
    ui::Image Image4{L"Image4", &PanelInstalacji};
    ui::Image Image3{L"Image3", &PanelInstalacji};
    ui::Image Image5{L"Image5", &PanelInstalacji};
    ui::Image Image2{L"Image2", &PanelInstalacji};
    ui::RadioGroup RGKanvel{L"RGKanvel", &PanelInstalacji};
    ui::CheckBox CBProgram{L"CBProgram", &PanelInstalacji};
    ui::Label Label1{L"Label1", &PanelInstalacji};
    ui::Label Label2{L"Label2", &PanelInstalacji};
    ui::CheckBox CBBaza{L"CBBaza", &PanelInstalacji};
    ui::CheckBox CBParadox{L"CBParadox", &PanelInstalacji};
    ui::Label Label4{L"Label4", &PanelInstalacji};
    ui::Button BBProgram{L"BBProgram", &PanelInstalacji};
    ui::Button BBBaza{L"BBBaza", &PanelInstalacji};
    ui::Button BBParadox{L"BBParadox", &PanelInstalacji};
    ui::CheckBox CBSkrotPulpit{L"CBSkrotPulpit", &PanelInstalacji};
    ui::ProgressBar ProgressBar1{L"ProgressBar1", &PanelInstalacji};
    ui::CheckBox CBSkrotMenuStart{L"CBSkrotMenuStart", &PanelInstalacji};
    ui::SpeedButton SBPrzegladaj{L"SBPrzegladaj", &PanelInstalacji};
    ui::Edit Edit1{L"Edit1", &PanelInstalacji};
    ui::Label LabelFolder{L"LabelFolder", &PanelInstalacji};
    ui::Button BBWstecz{L"BBWstecz", &PanelInstalacji};
    ui::Button BBInstal{L"BBInstal", &PanelInstalacji};
    ui::Button BBDeinstal{L"BBDeinstal", &PanelInstalacji};
    ui::Button BBClose{L"BBClose", &PanelInstalacji};

    void FormCreate();
    void RGKanvelClick();
    void Edit1Change();
    void SBPrzegladajClick();
    // The location as the folder choice takes it (a folder inside an
    // "OR-Vel" folder, or one whose deepest file would be longer than the
    // system takes, is refused with a notice); the folder dialog's answer
    // goes through here, and so does a location given on the command line.
    FolderChoice ChooseLocation(const std::wstring& folder);
    void BBWsteczClick();
    void BBCloseClick();

    // The install sequence and the program file.
    void BBInstalClick();
    void BBProgramClick();
    bool PobranieProgramu();
    void ZakonczenieInstalacji();
    // Replaces the target by the source; false (after a notice when the
    // source is missing) when that did not happen.
    bool KopiujPlik(const std::wstring& source, const std::wstring& target);

    // The database file sets; which working tables the copy takes is the
    // run's WorkingTablePolicy.
    void BBBazaClick();
    void CBBazaClick();
    bool PobranieZestawien(const std::wstring& serverFolder, const std::wstring& targetFolder);
    bool PobranieDanych(const std::wstring& serverFolder, const std::wstring& targetFolder);
    bool PobranieKonfiguracji(const std::wstring& serverFolder, const std::wstring& targetFolder);
    void PrzekazanieZestawien(const std::wstring& sourceFolder, const std::wstring& targetFolder);
    void PrzekazanieDanych(const std::wstring& sourceFolder, const std::wstring& targetFolder);
    void PrzekazanieKonfiguracji(const std::wstring& sourceFolder, const std::wstring& targetFolder);

    // The database engine component.
    void BBParadoxClick();
    void CBParadoxClick();

    // Removal of the chosen edition's installation.
    void BBDeinstalClick();

    // Rebuilds the install folder from the chosen location and creates it
    // (this one level), protected, when it is missing. Every component step
    // starts so.
    void RefreshInstallFolder();
    // Before the components: the install folder made protected, or an
    // existing one given its protection (its working folders theirs). A
    // folder that cannot be taken safely is refused with a notice, as the
    // folder choice refuses a location, and the install stops: false.
    bool SecureInstallFolder();
    // Before the components: the bytes they will write, where known
    // beforehand, fit in the install folder's volume; otherwise the failure
    // is shown and recorded as a download's, and the install stops: false.
    bool RoomForRun();
    // False, after a notice, when the edition's installed release is newer
    // than this installer and may not be replaced.
    bool NoNewerReleaseReplaced();
    // The server's release list judged before the first file from the
    // server: false (the user told why) when no file may come from it now.
    bool ServerReleaseJudged();
    // Before anything is fetched: none of the files the ticked components
    // replace that exist already is held by another program (the user
    // tried again until they were free, or the programs were asked to
    // close); otherwise the files are recorded and the install stops: false.
    bool FilesToReplaceFree();
    // The enabling rules for the panel as it is now.
    PanelEnabling rules() const;

    // Fetches one component file (see services::ComponentDownload); a
    // failure is recorded in the install report.
    bool PobraniePliku(const std::wstring& serverFolder, const std::wstring& fileName, const std::wstring& extension,
                       bool authenticate, const std::wstring& targetFolder);

    // True when the chosen edition's desktop shortcut, Start-menu shortcut or
    // program file exists (tested in that order).
    bool InstallationFound();
    // Offers removal exactly when an installation is found.
    void OfferRemoval();

    // What the main window asks of this page.
    bool PageShown() const override { return PanelInstalacji.visible(); }
    void ShowForLicenceChoice() override;
    void PrepareInstallFolder() override;
    void LeavePage() override;
    ui::Point EditionChoicePoint() const override;

    // The view of every download.
    void ShowStatus(const std::wstring& text) override { main_.SetStatus(text); }
    void SetProgressRange(int max) override { ProgressBar1.setMax(max); }
    void SetProgressPosition(int position) override { ProgressBar1.setPosition(position); }
    bool KeepWorking() override;
    void ShowReplaceNotice(const std::wstring& text) override;
    std::optional<services::ProxyCredentials> AskProxySignIn(const std::wstring& proxy) override;

private:
    bool Acceptable(const std::wstring& folder);

    // Runs a handler that works on the chosen edition, folder and components:
    // the controls that choose them do not act meanwhile, and a run the user
    // breaks off by closing the window is noted in the message log.
    // A component's own button writes into the install folder: it is
    // secured first, as "Instaluj" does.
    enum class FolderCheck { None, SecureFirst };
    void whileWorking(void (TFormInstal::*handler)(), FolderCheck check = FolderCheck::None);
    void noteBrokenOff();
    bool fetchSet(const DatabaseFileSet& set, const std::wstring& serverFolder, const std::wstring& targetFolder);
    void transferSet(const DatabaseFileSet& set, const std::wstring& sourceFolder, const std::wstring& targetFolder);
    void writeShortcut(const std::wstring& linkFile, const services::TParametrySkrotu& shortcut);
    void makeFolderIfMissing(const std::wstring& folder);
    // A working folder of the database, made with its users' rights.
    void makeWorkingFolderIfMissing(const std::wstring& folder);
    std::vector<std::wstring> existingFilesToReplace();
    void installEngine();
    void planDatabase(std::vector<services::ComponentDownload::PlannedWrite>& writes);
    void installProgram();
    void removeInstallFolder(const std::wstring& folder);
    void deleteIfPresent(const std::wstring& path);
    void warn(const std::wstring& text);
    void copyUpdateProgram();
    // Program files' signatures are read off the window's thread; the
    // window answers meanwhile, and closing it breaks the run off.
    services::SignatureReading signatureReading();
    void describePictures();
    void describeChoices();
    void describeComponentRow();
    void describeFolderRow();
    void describeButtonRow();
    void bindHandlers();

    pages::PageEnvironment& environment_;
    licence::TFormMain& main_;
    InstallRecorder& recorder_;
    AppsAndFeaturesEntry& entry_;
    DeferredRemoval& deferredRemoval_;
    const WorkingTablePolicy& workingTables_;
    const InUsePolicy& inUse_;
    const DowngradeRule& downgrade_;
    std::unique_ptr<services::ComponentDownload> download_;
    // The file the download is working on, for the note of a broken-off run.
    std::wstring fetching_;
};

}  // namespace kanvel::install
