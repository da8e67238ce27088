#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <set>

#include "app/Installer.h"
#include "pages/install/TFormInstal.h"
#include "pages/licence/TFormMain.h"
#include "platform/host/EventLog.h"
#include "platform/host/HeadlessToolkit.h"
#include "platform/host/Encoding.h"
#include "platform/host/HostPlatform.h"
#include "platform/host/ScriptedHttpClient.h"
#include "pages/notice/TFormQst.h"
#include "services/installer/ProgramTitle.h"
#include "ui/Application.h"

namespace kanvel::testing {

// A fresh temporary folder, removed again at the end of the test.
class TempTree {
public:
    TempTree() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("kanvel-test-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// One installer on the test platform: the forms are headless, the files
// real (in a temporary tree), the clock virtual and every message recorded.
class InstallerTest : public ::testing::Test {
protected:
    TempTree tree;
    platform::host::EventLog log;
    platform::host::HostPlatform platform{tree.path(), log};
    platform::host::HeadlessToolkit toolkit{log};
    platform::host::ScriptedServer server;
    std::unique_ptr<ui::Application> application;
    std::unique_ptr<app::Installer> installer;
    // Which program files may be started; by default, as a build without a
    // publisher, every one.
    services::ProgramVerification verification{services::PublisherList()};
    // For whom the run installs.
    services::InstallScope scope = services::InstallScope::CurrentUser;

    // Runs start-up: the main window, then the install form.
    void StartUp() {
        platform.httpClientFactory = [this] { return std::make_unique<platform::host::ScriptedHttpClient>(server); };
        platform.files().WriteFile(platform.executablePath, "MZ");
        application = std::make_unique<ui::Application>(toolkit, services::ProgramTitleOf(platform.ExecutablePath()));
        installer = std::make_unique<app::Installer>(platform, *application, scope, verification);
        installer->CreateForms();
        installer->FormMain().showWindow();
    }

    // The first lines of the notices shown from now on.
    std::vector<std::wstring> notices;
    void CaptureNotices();
    // Start-up, licence accepted, an edition chosen: where most panel tests begin.
    void StartUpAcceptedWith(int edition) {
        StartUp();
        main().RGAkceptacja.choose(0);
        panel().RGKanvel.choose(edition);
        CaptureNotices();
    }
    // The download server's address of a file.
    static std::wstring Url(const std::wstring& serverPath) { return std::wstring(KANVEL_DOWNLOAD_BASE_URL) + serverPath; }

    licence::TFormMain& main() { return installer->FormMain(); }
    install::TFormInstal& panel() { return installer->FormInstal(); }
    services::InstallerContext& context() { return installer->context(); }
};

}  // namespace kanvel::testing

namespace kanvel::testing {

inline void InstallerTest::CaptureNotices() {
    toolkit.onModal = [this](ui::Form& form) {
        notices.push_back(dynamic_cast<notice::TFormQst&>(form).Label1.caption());
    };
}

// Writes what a control's native side would be told into the event log, so a
// test can see repaints and list changes in order with sleeps and messages.
class LoggingPeer : public ui::Peer {
public:
    LoggingPeer(ui::Control& control, platform::host::EventLog& log) : control_(control), log_(log) {}
    void PropertyChanged(ui::Property what) override;

private:
    ui::Control& control_;
    platform::host::EventLog& log_;
};

}  // namespace kanvel::testing
