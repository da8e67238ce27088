#pragma once

#include <memory>

#include "pages/PageEnvironment.h"
#include "pages/install/AppsAndFeaturesEntry.h"
#include "pages/install/DeferredRemoval.h"
#include "pages/install/DowngradeRule.h"
#include "pages/install/InUsePolicy.h"
#include "pages/install/InstallRecorder.h"
#include "pages/install/WorkingTablePolicy.h"
#include "pages/notice/Notices.h"
#include "services/installer/InstallerContext.h"
#include "services/system/Platform.h"
#include "services/trust/ProgramVerification.h"
#include "ui/Application.h"

namespace kanvel::licence {
class TFormMain;
}
namespace kanvel::install {
class TFormInstal;
}

namespace kanvel::app {

// One run of the installer: it makes the shared context, the notice, the
// install form's collaborators and the two forms on a platform and an
// application, in the order start-up needs, and hands each form what it
// stands on. Which working tables the database copy takes, and what happens
// to files other programs hold, and whether an older release may replace a
// newer one, is the run's to say; the window's way unless told.
class Installer {
public:
    Installer(services::Platform platform, ui::Application& application,
              services::InstallScope scope = services::InstallScope::CurrentUser,
              services::ProgramVerification verification = services::ProgramVerification::OfThisBuild(),
              install::WorkingTablePolicy workingTables = {}, install::InUsePolicy inUse = {},
              install::DowngradeRule downgrade = {});
    ~Installer();
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    // Takes the component files from a local copy of the server (before
    // the forms are created); the copy outlives the run.
    void TakeFilesFrom(const services::LocalSource* source) { environment_.source = source; }
    // Checks every file from the server against the release's list (before
    // the forms are created); the list outlives the run.
    void CheckAgainst(const services::ReleaseList* release) { environment_.release = release; }
    // Or judges the release's list only when the window first needs a file
    // from the server; the gate outlives the run.
    void JudgeReleaseBy(pages::ReleaseGate* gate) { environment_.releaseGate = gate; }
    // Creates the main window, then the install form, each running its
    // creation handler, as the program does at start-up.
    void CreateForms();
    // Gives the main window its native side and runs the message loop until
    // the main window closes.
    void Run();

    // The forms, once created.
    licence::TFormMain& FormMain() { return *formMain_; }
    install::TFormInstal& FormInstal() { return *formInstal_; }
    notice::Notices& notices() { return notices_; }
    // What the install form's handlers did, the "Apps & features" entry,
    // and the removal of the kept installer copy that waits for the run
    // which started this one.
    const install::InstallRecorder& recorder() const { return recorder_; }
    install::AppsAndFeaturesEntry& entry() { return entry_; }
    install::DeferredRemoval& deferredRemoval() { return deferredRemoval_; }
    const install::WorkingTablePolicy& workingTables() const { return workingTables_; }
    services::InstallerContext& context() { return context_; }
    // Every path of the installation, as the context gives it now.
    services::InstallationPaths paths() const { return environment_.paths(); }

private:
    ui::Application& application_;
    services::ProgramVerification verification_;
    services::InstallerContext context_;
    notice::Notices notices_;
    pages::PageEnvironment environment_;
    install::InstallRecorder recorder_;
    install::AppsAndFeaturesEntry entry_{environment_, recorder_};
    install::DeferredRemoval deferredRemoval_{environment_, recorder_};
    const install::WorkingTablePolicy workingTables_;
    const install::InUsePolicy inUse_;
    const install::DowngradeRule downgrade_;
    std::unique_ptr<licence::TFormMain> formMain_;
    std::unique_ptr<install::TFormInstal> formInstal_;
};

}  // namespace kanvel::app
