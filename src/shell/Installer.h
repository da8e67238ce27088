#pragma once

#include <memory>

#include "services/PlatformOperations.h"
#include "shell/InstallerContext.h"
#include "ui/Application.h"

namespace kanvel::licence {
class TFormMain;
}
namespace kanvel::install {
class TFormInstal;
}

namespace kanvel::shell {

class TFormQst;

// One run of the installer: the platform it runs on, the shared context and
// the three program-wide window references through which the pages reach
// each other's controls.
class Installer {
public:
    Installer(services::PlatformOperations& platform, ui::Application& application);
    ~Installer();
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    services::PlatformOperations& platform;
    ui::Application& application;
    InstallerContext context;

    std::unique_ptr<licence::TFormMain> FormMain;
    std::unique_ptr<install::TFormInstal> FormInstal;
    // Empty while no notice is open.
    std::unique_ptr<TFormQst> FormQst;

    // Creates the main window, then the install form, each running its
    // creation handler, as the program does at start-up.
    void CreateForms();
    // Gives the main window its native side and runs the message loop until
    // the main window closes.
    void Run();
};

}  // namespace kanvel::shell
