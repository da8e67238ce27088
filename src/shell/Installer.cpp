#include "shell/Installer.h"

#include "install/TFormInstal.h"
#include "licence/TFormMain.h"
#include "shell/TFormQst.h"

namespace kanvel::shell {

Installer::Installer(services::PlatformOperations& platformOperations, ui::Application& app)
    : platform(platformOperations), application(app) {}

Installer::~Installer() {
    // The install panel lives in the main window: free the forms in the
    // opposite order of their creation.
    FormQst.reset();
    FormInstal.reset();
    FormMain.reset();
}

void Installer::CreateForms() {
    FormMain = std::make_unique<licence::TFormMain>(*this);
    FormMain->FormCreate();
    FormInstal = std::make_unique<install::TFormInstal>(*this);
    FormInstal->FormCreate();
}

void Installer::Run() {
    application.realize(*FormMain);
    FormMain->showWindow();
    application.run(*FormMain);
}

}  // namespace kanvel::shell
