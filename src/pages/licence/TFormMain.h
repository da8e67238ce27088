#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "pages/PageEnvironment.h"
#include "pages/licence/InstallPage.h"
#include "services/http/HttpClient.h"
#include "ui/Button.h"
#include "ui/FileDialog.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Panel.h"
#include "ui/RadioGroup.h"
#include "ui/Timer.h"

namespace kanvel::licence {

// The installer's only visible window: borderless, round-cornered, dragged
// by its background. It shows the licence page first, then the install page
// that start-up moved into it, and the finished panel over that. The install
// page asks it for what it owns through the named methods below.
class TFormMain : public ui::Form {
public:
    // The window's caption and the status line of the licence page.
    static constexpr const wchar_t* kCaptionLicence = L"Warunki licencji";
    static constexpr int kClientWidth = 730;
    static constexpr int kClientHeight = 360;

    explicit TFormMain(pages::PageEnvironment& environment);
    ~TFormMain() override;

    // Background and header strip.
    ui::Image Image6{L"Image6", this};
    ui::Panel PanelInfo{L"PanelInfo", this};
    ui::Image Image9{L"Image9", &PanelInfo};
    ui::Label LabelInfo{L"LabelInfo", &PanelInfo};

    // The licence page.
    ui::Panel PanelLic{L"PanelLic", this};
    ui::ListBox ListBox1{L"ListBox1", &PanelLic};
    ui::RadioGroup RGAkceptacja{L"RGAkceptacja", &PanelLic};
    ui::StaticText StaticText3{L"StaticText3", &PanelLic};
    ui::GroupBox GroupBox1{L"GroupBox1", &PanelLic};
    ui::Image Image1{L"Image1", &GroupBox1};
    ui::Label LabelProducent{L"LabelProducent", &GroupBox1};
    ui::GroupBox GroupBox2{L"GroupBox2", &PanelLic};
    ui::LinkLabel LabelWWW{L"LabelWWW", &GroupBox2};
    ui::Label LabelTel1{L"LabelTel1", &GroupBox2};
    ui::Label LabelTel2{L"LabelTel2", &GroupBox2};
    ui::GroupBox GroupBox3{L"GroupBox3", &PanelLic};
    ui::Label LabelEmail{L"LabelEmail", &GroupBox3};
    ui::Label Label5{L"Label5", &PanelLic};
    ui::Label LabelHttp{L"LabelHttp", &PanelLic};
    ui::Button BitBtn1{L"BitBtn1", &PanelLic};

    // The finished panel, shown over the install panel after an installation.
    ui::Panel PanelKoniec{L"PanelKoniec", this};
    ui::Image Image7{L"Image7", &PanelKoniec};
    ui::Label LabelKoniec{L"LabelKoniec", &PanelKoniec};

    ui::Timer Timer1;
    ui::FileDialog ODFile1{ui::FileDialog::Kind::Open};
    ui::FileDialog SDFile1{ui::FileDialog::Kind::Save};

    void FormCreate();
    // The one-shot timer: reveals the licence agreement.
    void Timer1Timer();
    // The reveal itself, for any table of lines.
    void RevealLicence(std::span<const std::wstring_view> lines);
    void FormMouseDown(ui::MouseButton button);
    void LabelWWWClick();
    void BitBtn1Click();
    // The licence choice: shows the install panel with the rules of the choice.
    void RGAkceptacjaClick();
    // Lets the user point at a packed executable NazwaPliku + "._exe";
    // returns its full path, or empty text.
    std::wstring LokalizacjaPliku(const std::wstring& NazwaPliku);

    // What the install page asks of this window.
    // Start-up moves the install page's panel into this window.
    void AdoptInstallPage(InstallPage& page, ui::Control& panel);
    // The licence was accepted ("Akceptuję" chosen).
    bool LicenceAccepted() const;
    // The status line at the top of the window.
    void SetStatus(const std::wstring& text);
    void ShowFinished();
    bool FinishedShown() const;
    // From the finished panel back to the install page, its rules applied again.
    void LeaveFinished();
    // From the install page back to the licence page, the choice cleared.
    void ReturnToLicencePage();
    // The folder choice on the save dialog: the chosen file's path, or
    // nothing when the user cancelled.
    std::optional<std::wstring> PickInstallLocation(const std::wstring& title, const std::wstring& proposedName);
    // The HTTP client for every download, owned by this window.
    services::HttpClient& HttpClient() { return *FormIdHTTP1; }

private:
    void describeHeader();
    void describeLicencePage();
    void describeProducerBoxes();
    void describeFinishedPanel();
    void bindHandlers();

    pages::PageEnvironment& environment_;
    InstallPage* installPage_ = nullptr;
    std::unique_ptr<services::HttpClient> FormIdHTTP1;
};

}  // namespace kanvel::licence
