#include "app/Installer.h"

#include "pages/install/TFormInstal.h"
#include "pages/licence/TFormMain.h"

namespace kanvel::app {

Installer::Installer(services::Platform platform, ui::Application& application, services::InstallScope scope,
                     services::ProgramVerification verification, install::WorkingTablePolicy workingTables, install::InUsePolicy inUse,
                     install::DowngradeRule downgrade)
    : application_(application),
      verification_(std::move(verification)),
      notices_(platform, application, context_),
      environment_{platform, application, context_, notices_, verification_},
      workingTables_(workingTables),
      inUse_(inUse),
      downgrade_(downgrade) {
    context_.scope = scope;
}

Installer::~Installer() {
    // The install panel lives in the main window: free the forms in the
    // opposite order of their creation.
    formInstal_.reset();
    formMain_.reset();
}

void Installer::CreateForms() {
    formMain_ = std::make_unique<licence::TFormMain>(environment_);
    notices_.setOwner(*formMain_);
    formMain_->FormCreate();
    formInstal_ = std::make_unique<install::TFormInstal>(
        environment_, *formMain_, install::InstallCollaborators{recorder_, entry_, deferredRemoval_, workingTables_, inUse_, downgrade_});
    formInstal_->FormCreate();
}

void Installer::Run() {
    application_.realize(*formMain_);
    formMain_->showWindow();
    application_.run(*formMain_);
}

}  // namespace kanvel::app
